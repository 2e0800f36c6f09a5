#include "records/UninstallMessages.h"

bool UninstallMessages::Set(int32_t number, const String& text)
{
    if (number < kFirstNumber || number > kLastNumber)
        return false;
    Message* message = const_cast<Message*>(Find(number));
    if (!message) {
        message = m_messages.AppendNew();
        message->number = number;
    }
    message->text = text;
    return true;
}

String UninstallMessages::Text(int32_t number) const
{
    const Message* message = Find(number);
    return message ? message->text : String();
}

const UninstallMessages::Message* UninstallMessages::Find(int32_t number) const
{
    // A record carries a few dozen messages at most; a walk is all it takes.
    for (const Message& message : m_messages) {
        if (message.number == number)
            return &message;
    }
    return nullptr;
}
