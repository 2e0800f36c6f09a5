#pragma once
#include "core/String.h"
#include <cstdint>

// One file association of a package: an extension bound to a file type and its verb.
struct FileAssociation {
    int32_t flags = 0;        // kAssociationDefaultVerb
    String extension;
    String typeName;
    String description;
    String verb;
    String verbCaption;
    String command;
    String language;
    String icon;
};

// Flags: the verb becomes the type's default verb.
constexpr int32_t kAssociationDefaultVerb = 0x1;
