// Resource identifiers of Roamwise.exe.
#ifndef ROAMWISE_RESOURCE_H
#define ROAMWISE_RESOURCE_H

// Application icon (32 x 32, 256 colours); also both windows' icon.
#define ROAMWISE_ICON_APP 1
// Magnifying glass (48 x 48, 256 colours) on the "view settings" button.
#define ROAMWISE_ICON_MAGNIFIER 2

#endif
