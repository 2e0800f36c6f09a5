#include "payload/Encoder.h"
#include "core/String.h"
#include "payload/BitWriter.h"
#include "payload/BlockFormat.h"
#include "payload/LazyEncoder.h"
#include "payload/OptimalEncoder.h"

namespace {

bool EncodeFast(const uint8_t* data, uint32_t size, BitWriter& out)
{
    LazyEncoder encoder;
    LazyEncoder::Scratch scratch;
    if (!encoder.Init(data, size) || !encoder.InitScratch(scratch))
        return false;
    for (uint32_t k = 0; k < encoder.SegmentCount(); ++k) {
        encoder.IndexSegment(k);
        encoder.ParseSegment(k, scratch, out);
    }
    return true;
}

bool EncodeBest(const uint8_t* data, uint32_t size, BitWriter& out)
{
    DirectMatchSource source;
    return source.Init(data, size) && EncodeOptimal(data, size, source, out);
}

} // namespace

void WriteBlockHeader(BitWriter& out, int32_t length)
{
    out.WriteBits(kBlockMagic, 32);
    out.WriteBits(static_cast<uint32_t>(length), 32);
}

bool Compress(const void* input, int32_t length, String& block, CompressionLevel level)
{
    if (length < 0 || (!input && length > 0))
        return false;
    const uint8_t* data = static_cast<const uint8_t*>(input);
    uint32_t size = static_cast<uint32_t>(length);
    BitWriter out;
    WriteBlockHeader(out, length);
    if (!(level == CompressionLevel::Best ? EncodeBest(data, size, out) : EncodeFast(data, size, out)))
        return false;
    String output;
    if (!out.Finish(output))
        return false;
    block = static_cast<String&&>(output);
    return true;
}

bool Compress(const String& input, String& block, CompressionLevel level)
{
    return Compress(input.Text(), input.Length(), block, level);
}
