// The file data: its first part from the image (or, with external data, from the
// program's file after the image), the rest from the volume files, which the person is
// asked to insert; then its checksum, its decompression, and a check of every file
// entry with its own checksum. Only then does anything touch the machine's files: a
// damaged package is refused whole, not half installed.
#include "core/Checksum.h"
#include "core/Fatal.h"
#include "install/CorruptInstaller.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "payload/Decompressor.h"
#include "payload/ErrorCodes.h"
#include "payload/FileEntry.h"
#include "system/Path.h"
#include "system/SystemPaths.h"
#include "ui/ProgramExit.h"
#include <cstring>

namespace {

// The buffer for the whole file data; a length that cannot be held does not fit.
char* FileDataBuffer(InstallerState& state, int32_t total)
{
    String& buffer = state.payload.fileData;
    if (!buffer.TrySetLength(total))
        ReportCorruptInstaller(state, kCodePayloadOverrun);
    return buffer.Buffer();
}

// Reads the first part; answers its length. `start` is set when the whole file data
// lies in the image and is used in place.
int32_t ReadFirstPart(InstallerState& state, int32_t total, const uint8_t*& start)
{
    Payload& payload = state.payload;
    int32_t offset = payload.header.fileDataOffset;
    if (payload.settings.externalData) {
        int64_t from = static_cast<int64_t>(payload.section.rawOffset) + offset;
        int64_t available = payload.ownFileSize - from;
        int32_t length = available <= 0 ? 0 : available < total ? static_cast<int32_t>(available) : total;
        char* buffer = FileDataBuffer(state, total);
        if (length > 0 && !payload.ownFile.ReadAt(static_cast<int32_t>(from), buffer, length))
            FatalStop("Error code 2: failed to read archive data");
        return length;
    }
    int32_t end = payload.header.header.fileDataEnd;
    if (end > payload.mappedLength)
        ReportCorruptInstaller(state, kCodePayloadOverrun);
    int32_t length = end - offset;
    length = length < 0 ? 0 : length < total ? length : total;
    start = payload.mapped + offset;
    if (length < total) {
        memcpy(FileDataBuffer(state, total), start, static_cast<size_t>(length));
        start = nullptr;
    }
    return length;
}

// Opens volume `number` once it carries the expected tag and data after it, asking the
// person to insert it until it does or they give up.
void OpenVolume(InstallerState& state, const String& name, int number, uint32_t tag, File& volume)
{
    char drive[] = { DriveLetter(name), 0 };
    String numberText(static_cast<int64_t>(number));
    for (int attempt = 1;; ++attempt) {
        bool wrong = false;
        if (volume.Open(name.Text(), File::kReadShared) == File::kOpened) {
            uint32_t found = 0;
            if (volume.Size() > kVolumeTagSize && volume.Read(&found, kVolumeTagSize) && found == tag)
                return;
            // Another disk is in the drive, or a damaged copy of this one.
            wrong = true;
            (void)volume.Close();
        }
        String prompt = state.TextWith(26, numberText.Text(), drive);
        if (attempt > 1 || wrong)
            prompt = state.Text(30) + "\r\n\r\n" + prompt;
        Questions& ask = state.Ask();
        if (!ask.Ask(prompt, state.Text(27), BoxButtons::OkCancel, BoxIcon::Question, QuestionKind::Needed) &&
            ask.AskYesNo(state.Text(28), state.Text(20), BoxIcon::Question, QuestionKind::Needed))
            ExitProgram();
    }
}

// The rest of the file data from the volume files "<base><n>.QOX" beside the program,
// numbered from 2; each begins with its tag, one more than the one before.
void ReadVolumes(InstallerState& state, int32_t loaded, int32_t total)
{
    char* buffer = state.payload.fileData.Buffer();
    const Settings& settings = state.PackageSettings();
    uint32_t tag = static_cast<uint32_t>(settings.volumeTag);
    for (int number = kFirstVolumeNumber; loaded < total; ++number, ++tag) {
        (void)state.progress.SetPosition(5 + static_cast<int>(30 * static_cast<int64_t>(loaded) / total));
        String name;
        name.Format(kVolumeNameFormat, settings.volumeBaseName.Text(), number);
        name = InProgramDirectory(name);
        File volume;
        OpenVolume(state, name, number, tag, volume);
        // What a volume holds beyond the file data's length is not read.
        int32_t piece = volume.Size() - kVolumeTagSize;
        if (piece > total - loaded)
            piece = total - loaded;
        if (!volume.Read(buffer + loaded, piece))
            ReportCorruptInstaller(state, kCodeVolumeRead);
        loaded += piece;
    }
}

// Every entry must read whole, carry its own checksum and have a place to go.
void CheckFileEntries(const InstallerState& state, const uint8_t* data, int32_t length)
{
    PayloadCursor cursor(data, length);
    for (int32_t size : state.payload.header.sizes) {
        FileEntry entry;
        if (int code = ReadFileEntry(cursor, size, entry))
            ReportCorruptInstaller(state, code);
        if (Checksum(entry.data, entry.dataLength) != entry.checksum)
            ReportCorruptInstaller(state, kCodeFileChecksum);
        if (!FileEntryHasPlace(entry.destination, entry.flags, entry.target))
            ReportCorruptInstaller(state, kCodeUnknownGroup);
    }
}

}

StepResult LoadFileData(InstallerState& state, InstallLog&)
{
    Payload& payload = state.payload;
    const PayloadHeader& header = payload.header.header;
    int32_t total = header.fileDataLength;
    const uint8_t* start = nullptr;
    int32_t loaded = ReadFirstPart(state, total, start);
    if (loaded < total)
        ReadVolumes(state, loaded, total);
    if (!start)
        start = reinterpret_cast<const uint8_t*>(payload.fileData.Text());

    state.WaitForStep();
    state.Step(62, 36);
    if (Checksum(start, total) != header.fileDataChecksum)
        ReportCorruptInstaller(state, kCodeFileDataChecksum);
    state.WaitForStep();
    if (state.Has(kFlagCompressedFileData) && total > 0) {
        state.Step(29, 40);
        String decompressed;
        if (!Decompress(start, total, decompressed))
            ReportCorruptInstaller(state, kCodeFileDataDecompress);
        payload.fileData = static_cast<String&&>(decompressed);
        start = reinterpret_cast<const uint8_t*>(payload.fileData.Text());
        total = payload.fileData.Length();
        state.WaitForStep();
    }
    CheckFileEntries(state, start, total);
    payload.fileDataStart = start;
    payload.fileDataLength = total;
    return StepResult::GoOn;
}
