#pragma once
#include "core/MemoryReader.h"
#include "payload/Settings.h"

// What reading the settings asks of the program around it. The stub answers with the
// installer's state, windows and folders; the builder's inspector and the tests use the
// defaults, which settle nothing beyond the stream itself.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    // The product name given on the command line, which wins over the stored one.
    virtual String DisplayNameOverride() { return String(); }
    // The size of the program's own file, which bounds the uninstaller patch offset.
    virtual int64_t OwnFileSize() { return INT64_MAX; }
    // Called right after the product flags were read, before anything else. May answer a
    // corrupt-installer code (such as a settings checksum that differs) to stop reading.
    virtual int AfterProductFlags(uint64_t) { return 0; }
    // With UninstallSupport: make the shared folder absolute and create it.
    virtual void SettleSharedDirectory(String&) {}
    // Replace "<os>", expand path variables and make the default directory absolute
    // (never called for "<master>").
    virtual void SettleDefaultDirectory(String&) {}
};

// Reads the whole settings stream in stored order, applying each check and default as
// it goes. Answers 0, or the corrupt-installer code of the first check that fails.
int ReadSettings(MemoryReader& stream, Settings& settings, SettingsHost& host);
