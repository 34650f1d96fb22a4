// Resource identifiers of Roamwise.exe.
#ifndef ROAMWISE_RESOURCE_H
#define ROAMWISE_RESOURCE_H

// Application icon (32 x 32, 256 colours); also both windows' icon.
#define ROAMWISE_ICON_APP 1
// Magnifying glass (48 x 48, 256 colours) on the "view settings" button.
#define ROAMWISE_ICON_MAGNIFIER 2

// The box that asks for a profile's new name: its prompt and the name.
#define ROAMWISE_DIALOG_RENAME 100
#define ROAMWISE_RENAME_PROMPT 1001
#define ROAMWISE_RENAME_NAME 1002

// A trial load's question: its text, the countdown, and Go Back (Keep is IDOK).
#define ROAMWISE_DIALOG_TRIAL 101
#define ROAMWISE_TRIAL_TEXT 1011
#define ROAMWISE_TRIAL_COUNTDOWN 1012
#define ROAMWISE_TRIAL_GO_BACK 1013

#endif
