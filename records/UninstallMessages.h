#pragma once
#include "core/String.h"

// The messages the uninstaller shows. The uninstaller has no payload and so no string
// table of its own: the installer copies these texts, in the language in use, into the
// [Strings] section of Uninstall.DAT, always these numbers in this order.
inline constexpr int32_t kUninstallMessageNumbers[] = { 10, 15, 20, 30, 34, 35, 39, 49, 53, 55,
                                                        56, 57, 58, 59, 67, 68, 69, 70, 71 };
constexpr int32_t kUninstallMessageCount = sizeof(kUninstallMessageNumbers) / sizeof(kUninstallMessageNumbers[0]);
static_assert(kUninstallMessageCount == 19);

// The uninstaller's message table: one text per number above. The installer fills it
// from its string table; the uninstaller gets it from Uninstall.DAT. A record may carry
// other numbers; nothing asks for them, so they are not kept.
class UninstallMessages {
public:
    // The numbers a record may carry.
    static constexpr int32_t kFirstNumber = 1;
    static constexpr int32_t kLastNumber = 1000;

    // Stores `text` as message `number`, replacing an earlier one. False for a number
    // that is not one of the uninstaller's.
    bool Set(int32_t number, const String& text);
    // The text of message `number`; empty when there is none (the caller then uses its
    // own wording).
    String Text(int32_t number) const;
    void Clear();

private:
    // The index of `number` in kUninstallMessageNumbers, or -1.
    static int32_t IndexOf(int32_t number);

    String m_texts[kUninstallMessageCount];
};

// Message 10, 56 and 59 take one text: the record's message with its first "%s"
// replaced by `argument` and each "%%" by "%". The message comes from a file anyone
// can edit, so it is never handed to printf as a format: any other "%" stays as it is.
String FillInMessage(const String& message, const String& argument);
