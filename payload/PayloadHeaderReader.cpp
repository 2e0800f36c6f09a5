#include "payload/PayloadHeaderReader.h"
#include "payload/ErrorCodes.h"

// Header reads that run out of bytes are reported as an overrun of the payload.
#define READ_OR_FAIL(call) \
    do {                   \
        if (!(call))       \
            return kCodePayloadOverrun; \
    } while (0)

int ReadPayloadHeader(PayloadCursor& cursor, PayloadHeaderFields& fields)
{
    PayloadHeader& h = fields.header;
    READ_OR_FAIL(cursor.ReadUInt(h.magic));
    if (h.magic != kPayloadMagic)
        return kCodeMagic;

    // Older packages are read; one made by a builder newer by more than 0.01 is not.
    // Compared in hundredths, so that x87 and SSE arithmetic agree on 12.01.
    READ_OR_FAIL(cursor.ReadInt(h.builderVersion));
    if (static_cast<int64_t>(h.builderVersion) - kBuilderVersion > 1)
        return kHeaderVersionMismatch;

    READ_OR_FAIL(cursor.ReadInt(h.settingsLength));
    if (h.settingsLength < 1 || h.settingsLength > kMaxSettingsBlockLength)
        return kCodeSettingsLength;
    READ_OR_FAIL(cursor.ReadUInt(h.settingsKey));
    READ_OR_FAIL(cursor.ReadUInt(h.stubChecksum));
    READ_OR_FAIL(cursor.ReadInt(h.fileDataEnd));
    if (h.fileDataEnd < 0)
        return kCodeFileDataEnd;
    READ_OR_FAIL(cursor.ReadInt(h.sizeCount));
    if (h.sizeCount < 0)
        return kCodeSizeCount;
    READ_OR_FAIL(cursor.ReadInt(h.fileDataLength));
    if (h.fileDataLength < 0)
        return kCodeFileDataLength;
    READ_OR_FAIL(cursor.ReadUInt(h.fileDataChecksum));

    fields.sizes.Clear();
    for (int32_t i = 0; i < h.sizeCount; ++i) {
        int32_t size;
        READ_OR_FAIL(cursor.ReadInt(size));
        if (size < 0 || size > kMaxFileSize)
            return kCodeSizeEntry;
        fields.sizes.Append(size);
    }
    fields.fileDataOffset = cursor.Offset() + h.settingsLength;
    return 0;
}

String VersionMismatchText(int32_t storedVersion)
{
    String text;
    text.Format("The installer version (%.1f) does not match the version of QUOX (%.1f).  "
                "Close all applications and reinstall QUOX.",
                kBuilderVersion * 0.01, storedVersion * 0.01);
    return text;
}
