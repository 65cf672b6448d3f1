// A log file as klf-export reads it, through its smallest window so that records straddle
// windows: the records against the program's reader over the whole file, then the survey and the
// drive walk into each writer and a string that is dropped, with checks of what the walk hands
// on.
#include "FuzzCheck.h"
#include "FuzzTargets.h"
#include "klf-export/DriveReader.h"
#include "klf-export/DriveReport.h"
#include "klf-export/ExportFormats.h"

#include <sstream>

namespace zentor::fuzz {

namespace {

// Checks the order of what the walk hands on, and passes it to a writer.
class CheckedSink final : public klfexport::DriveSink
{
public:
    explicit CheckedSink(klfexport::DriveSink& writer) : writer_(writer) {}

    void position(const klfexport::Position& p) override
    {
        fuzzCheck(positions_ > 0 || p.startsSegment, "the first position starts the route");
        ++positions_;
        last_ = p;
        writer_.position(p);
    }

    void reading(const klfexport::Reading& r, const klfexport::Position& at) override
    {
        fuzzCheck(positions_ > 0 && at.time.second == last_.time.second &&
                      at.latitudeDeg == last_.latitudeDeg,
                  "a reading takes the last position handed on");
        fuzzCheck(r.receiver == 1 || r.receiver == 2, "a reading is receiver 1's or 2's");
        ++readings_;
        writer_.reading(r, at);
    }

    std::size_t readings() const { return readings_; }

private:
    klfexport::DriveSink& writer_;
    std::size_t positions_ = 0;
    std::size_t readings_ = 0;
    klfexport::Position last_;
};

bool endsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The windowed walk finds what the program's reader finds in the whole file.
void checkWindows(const std::uint8_t* data, std::size_t size, klfexport::LogStream& log)
{
    KlfReader whole(data, size);
    KlfRecord a, b;
    for (bool more = true; more;) {
        more = whole.next(a);
        fuzzCheck(log.next(b) == more, "the windowed walk ends where the reader ends");
        fuzzCheck(!more || (a.offset == b.offset && a.size == b.size && a.kind == b.kind &&
                            a.checksum == b.checksum && a.type == b.type),
                  "the windowed walk finds the reader's records");
    }
    fuzzCheck(whole.verdict() == log.verdict() && whole.problemOffset() == log.problemOffset(),
              "the windowed walk's verdict is the reader's");
}

} // namespace

void fuzzKlfExport(const std::uint8_t* data, std::size_t size)
{
    klfexport::LogStream log(data, size, klfexport::LogStream::kMinWindowBytes);
    checkWindows(data, size, log);
    const klfexport::LogSurvey survey = klfexport::surveyLog(log);
    klfexport::ExportSettings settings;
    settings.title = "fuzz.KLF";
    const struct
    {
        decltype(&klfexport::csvWriter) make;
        const char* end;
    } formats[] = {{klfexport::csvWriter, "\n"},
                   {klfexport::gpxWriter, "</gpx>\n"},
                   {klfexport::kmlWriter, "</kml>\n"},
                   {klfexport::svgWriter, "</svg>\n"}};
    for (const auto& format : formats) {
        std::ostringstream out;
        const auto writer = format.make(out, settings);
        CheckedSink checked(*writer);
        const klfexport::DriveSummary drive = klfexport::walkDrive(log, survey, checked);
        fuzzCheck(drive.bytesWalked <= size, "the walk stays inside the file");
        fuzzCheck(drive.verdict != KlfVerdict::Whole || drive.bytesWalked == size,
                  "a whole file is walked to its end");
        fuzzCheck(checked.readings() == drive.readings, "every reading counted is handed on");
        writer->finish(drive);
        fuzzCheck(endsWith(out.str(), format.end), "the file is whole");
        if (format.make == klfexport::csvWriter) {
            std::size_t lines = 0;
            for (char c : out.str())
                lines += c == '\n';
            fuzzCheck(lines == drive.readings + 1, "the CSV is a header and a row per reading");
        }
        touch(klfexport::driveReport("fuzz.KLF", drive).size());
    }
}

} // namespace zentor::fuzz
