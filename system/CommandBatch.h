#pragma once
#include "core/String.h"
#include "system/PathVariables.h"
#include <cstdint>

// Path variables on the running machine and the command batches of a product's scripts.
// The installer and the uninstaller both run batches, so they live here rather than with
// either.

// The values of the path variables: the product's two folders as given, everything else
// asked of the machine at the moment a text names it (the user may have moved a folder
// since the last look).
class MachinePathValues final : public PathVariableValues {
public:
    MachinePathValues(const String& installDir, const String& sharedDir)
        : m_installDir(installDir), m_sharedDir(sharedDir)
    {
    }
    String Value(PathVariable variable) const override;

private:
    const String& m_installDir;
    const String& m_sharedDir;
};

// Options of RunBatch.
constexpr uint32_t kBatchHidden = 0x1;    // the console window is hidden (and PAUSE lines go)
constexpr uint32_t kBatchNoPauses = 0x2;  // automatic mode: PAUSE lines go, nobody would press a key

// Writes QUOXBAT.BAT into `installDir` (BatchText), runs it there through the command
// interpreter with a 5000-byte environment, waits for it while `pump` keeps the
// caller's windows alive (null: no pump), and deletes it. Blank commands do nothing; a
// batch that cannot be written or started is skipped silently: a script is the
// author's extra, and its failure is no failure of the installation.
void RunBatch(const String& installDir, const String& sharedDir, const String& commands, uint32_t options,
              bool (*pump)());
