// A log file as klf-dump reads it: walked by the program's record reader and dumped as text and
// as JSON lines into the null device, so that every line is formed in full and then dropped.
// Between the reader and each dump sits a check of the records the walk hands over.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "klf-dump/LogDump.h"

#include <memory>

namespace zentor::fuzz {
namespace {

#ifdef _WIN32
constexpr char kNullDevice[] = "NUL";
#else
constexpr char kNullDevice[] = "/dev/null";
#endif

constexpr std::size_t kNullBufferBytes = 1 << 16;

std::FILE* openNullDevice()
{
    std::FILE* device = std::fopen(kNullDevice, "w");
    fuzzCheck(device != nullptr, "the null device opens");
    // A large buffer: the dumps of one input then mostly cost no write call at all.
    std::setvbuf(device, nullptr, _IOFBF, kNullBufferBytes);
    return device;
}

// The null device, opened once for the whole run: opening it for every input would cost more
// than the dump.
std::FILE* nullDevice()
{
    static std::FILE* const device = openNullDevice();
    return device;
}

// Checks that the records chain through the bytes and lie inside them, and passes them on.
class CheckedOutput : public klfdump::DumpOutput
{
public:
    CheckedOutput(std::unique_ptr<klfdump::DumpOutput> dump, const std::uint8_t* bytes,
                  std::size_t size)
        : dump_(std::move(dump)), bytes_(bytes), size_(size)
    {}

    void file(const std::string& name, std::size_t bytes) override
    {
        fuzzCheck(bytes == size_, "the dump states the file's size");
        dump_->file(name, bytes);
    }

    void record(const KlfRecord& r) override
    {
        fuzzCheck(r.offset == next_, "each record starts where the one before ended");
        fuzzCheck(r.size > 0 && r.size <= size_ - r.offset, "a record lies inside the file");
        if (r.kind != KlfRecordKind::LeadIn) {
            const std::uint8_t* body = bytes_ + r.offset + 2;
            fuzzCheck(r.size == r.length + 2u && r.type == body[0],
                      "a record is L, then L bytes starting with the type");
            fuzzCheck(r.data.data == body + 1 && r.data.size < r.length,
                      "the data lie between the type and the end of the record");
        }
        next_ = r.offset + r.size;
        dump_->record(r);
    }

    void finish(const KlfReader& reader, const klfdump::TypeCounts& counts) override
    {
        fuzzCheck(reader.verdict() != KlfVerdict::Whole || next_ == size_,
                  "a whole file is all records");
        fuzzCheck(reader.verdict() == KlfVerdict::Whole || reader.problemOffset() <= size_,
                  "a problem lies inside the file or at its end");
        dump_->finish(reader, counts);
    }

private:
    std::unique_ptr<klfdump::DumpOutput> dump_;
    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t next_ = 0;
};

} // namespace

void fuzzKlfDump(const std::uint8_t* data, std::size_t size)
{
    std::FILE* const out = nullDevice();
    CheckedOutput text(klfdump::makeTextOutput(out), data, size);
    CheckedOutput json(klfdump::makeJsonOutput(out), data, size);
    const KlfVerdict textVerdict = klfdump::dumpLog("fuzz.KLF", data, size, text);
    const KlfVerdict jsonVerdict = klfdump::dumpLog("fuzz.KLF", data, size, json);
    fuzzCheck(textVerdict == jsonVerdict, "both dumps come to the same verdict");
}

} // namespace zentor::fuzz
