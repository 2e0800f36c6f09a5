#include "payload/FileEntry.h"
#include "payload/ErrorCodes.h"
#include "payload/PayloadLayout.h"

int ReadFileEntry(PayloadCursor& cursor, int32_t size, FileEntry& entry)
{
    entry = FileEntry();
    if (!cursor.ReadText(entry.name))
        return kCodePayloadOverrun;
    if (!*entry.name)
        return kCodeEmptyName;
    uint32_t checksum = 0;
    if (!cursor.ReadInt(entry.destination) || !cursor.ReadInt(entry.flags) || !cursor.ReadInt(entry.attributes))
        return kCodePayloadOverrun;
    if (size < 0)
        return kCodeNegativeSize;
    if (size > kMaxFileSize)
        return kCodeSizeTooLarge;
    entry.data = cursor.Position();
    entry.dataLength = size;
    if (!cursor.Skip(size) || !cursor.ReadUInt(checksum))
        return kCodePayloadOverrun;
    entry.checksum = checksum;
    for (int32_t& field : entry.date) {
        if (!cursor.ReadInt(field))
            return kCodePayloadOverrun;
    }
    if (!cursor.ReadText(entry.text1))
        return kCodePayloadOverrun;
    if ((entry.flags & kEntryHasIcon) && !cursor.ReadText(entry.icon))
        return kCodePayloadOverrun;
    if (!cursor.ReadText(entry.arguments) || !cursor.ReadText(entry.target) || !cursor.ReadText(entry.workdir))
        return kCodePayloadOverrun;
    return 0;
}

bool FileEntryHasPlace(int32_t destination, int32_t flags, const char* target)
{
    bool known = destination >= kDestinationInstall && destination <= kDestinationInstallVersioned &&
                 destination != kDestinationTarget && destination != kDestinationTargetOther;
    bool targetPath = false;
    for (const char* p = target; p && *p; ++p)
        targetPath = targetPath || *p == '\\';
    return known || targetPath || (flags & kEntryUninstallDirectory);
}
