// Roamwise's version numbers, shared by the version record and the code.
#ifndef ROAMWISE_VERSION_H
#define ROAMWISE_VERSION_H

#define ROAMWISE_VERSION_MAJOR 1
#define ROAMWISE_VERSION_MINOR 0
#define ROAMWISE_VERSION_PATCH 0
#define ROAMWISE_VERSION_BUILD 7

// The numeric form, for FILEVERSION and PRODUCTVERSION.
#define ROAMWISE_VERSION_NUMBERS \
    ROAMWISE_VERSION_MAJOR, ROAMWISE_VERSION_MINOR, ROAMWISE_VERSION_PATCH, ROAMWISE_VERSION_BUILD
// The text form the version record shows.
#define ROAMWISE_VERSION_TEXT "1.00.0007"

#endif
