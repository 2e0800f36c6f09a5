#pragma once
#include "core/String.h"
#include "core/Vector.h"

// The messages the uninstaller shows. The uninstaller has no payload and so no string
// table of its own: the installer copies these texts, in the language in use, into the
// [Strings] section of Uninstall.DAT, always these numbers in this order.
constexpr int32_t kUninstallMessageNumbers[] = { 10, 15, 20, 30, 34, 35, 39, 49, 53, 55,
                                                 56, 57, 58, 59, 67, 68, 69, 70, 71 };
constexpr int32_t kUninstallMessageCount = sizeof(kUninstallMessageNumbers) / sizeof(kUninstallMessageNumbers[0]);
static_assert(kUninstallMessageCount == 19);

// A message table of one language, by number. The installer fills it from its string
// table; the uninstaller gets it from Uninstall.DAT.
class UninstallMessages {
public:
    // Numbers a record may carry; others are not stored.
    static constexpr int32_t kFirstNumber = 1;
    static constexpr int32_t kLastNumber = 1000;

    // Stores `text` as message `number`, replacing an earlier one. False for a number
    // outside the range.
    bool Set(int32_t number, const String& text);
    // The text of message `number`; empty when there is none (the caller then uses its
    // own wording).
    String Text(int32_t number) const;
    int32_t Count() const { return m_messages.Count(); }
    void Clear() { m_messages.Clear(); }

private:
    struct Message {
        int32_t number = 0;
        String text;
    };
    const Message* Find(int32_t number) const;

    Vector<Message> m_messages;
};
