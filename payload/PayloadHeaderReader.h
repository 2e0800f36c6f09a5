#pragma once
#include "core/Vector.h"
#include "payload/PayloadCursor.h"
#include "payload/PayloadLayout.h"

// Reads and checks the payload header field by field, in stored order, each field
// checked before the next is read, as the corrupt-installer codes promise.
struct PayloadHeaderFields {
    PayloadHeader header {};
    Vector<int32_t> sizes;          // the size table, in stored order
    int32_t fileDataOffset = 0;     // of the file data within the section
};

// Answered instead of a code when the package comes from a newer builder.
constexpr int kHeaderVersionMismatch = -1;

// Leaves the cursor at the settings block. Answers 0, a CorruptCode, or
// kHeaderVersionMismatch (fields.header.builderVersion then holds the stored number).
int ReadPayloadHeader(PayloadCursor& cursor, PayloadHeaderFields& fields);

// The message for kHeaderVersionMismatch.
String VersionMismatchText(int32_t storedVersion);
