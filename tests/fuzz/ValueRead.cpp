// The tagged binary form of Value read from arbitrary bytes: values are read one after
// another until a read fails. Each value read must write back to a form that reads as
// the same value again, and every conversion of it must be safe.
#include "core/Clock.h"
#include "core/MemoryReader.h"
#include "core/MemoryWriter.h"
#include "core/Value.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>

static void Check(bool condition)
{
    if (!condition)
        abort();
}

static String Encode(const Value& value)
{
    MemoryWriter writer;
    Check(value.Write(writer));
    writer.Finish();
    return writer.Contents();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PlatformTime now = { 2026, 12, 7, 15, 5, 9 };
    SetFixedClock(now, 60);
    MemoryReader reader(data, static_cast<int32_t>(size > 0x7fffffff ? 0x7fffffff : size));
    for (int count = 0;; ++count) {
        Value value;
        value.SetText(String("before"));
        int32_t start = reader.Position();
        if (!value.Read(reader)) {
            Check(value.Type() == Value::kText);
            break;
        }
        Check(reader.Position() > start);

        String bytes = Encode(value);
        MemoryReader again(bytes);
        Value back;
        Check(back.Read(again));
        Check(again.Position() == bytes.Length());
        Check(Encode(back) == bytes);

        // Conversions are slow (each formats through a 64 KB scratch area); try them on
        // the first values only, so that the reader itself gets most of the runs.
        for (int32_t type = Value::kEmpty; count < 4 && type <= Value::kDword; ++type) {
            Value copy = value;
            copy.ConvertTo(type);
            copy.Text();
            copy.ToBool();
            copy.ToFloat();
            copy.IsEmptyOrZero();
        }
    }
    ClearFixedClock();
    return 0;
}
