#pragma once

#include <cstddef>
#include <cstdint>

// The bodies of the fuzz targets. Each takes any bytes at all, runs them through the code under
// test as the program would, and ends the process through fuzzCheck when that code breaks a rule
// its header promises; faults in memory and undefined behaviour are the sanitizers' to report.
// The libFuzzer programs (libfuzzer/FuzzerEntry.cpp) and the regression test call the same
// functions, so an input that once crashed a fuzzer is run again by the ordinary suite.
namespace zentor::fuzz {

// The instrument's byte stream, one byte at a time through the frame assembler, and every whole
// record into the receiver protocol with a log, a message box routine and a write path attached.
void fuzzFrameStream(const std::uint8_t* data, std::size_t size);

// A GPS record through the decoder and the GPS panel texts.
void fuzzGpsRecord(const std::uint8_t* data, std::size_t size);

// The bytes the TravelPilot unit sent, one response after another, through the response parser,
// the field texts and the log packets.
void fuzzTravelPilotResponse(const std::uint8_t* data, std::size_t size);

// A log file through the record reader and klf-dump's text and JSON dumps.
void fuzzKlfDump(const std::uint8_t* data, std::size_t size);

// A log file through klf-export's windowed reader, its drive walk, its writers and its report.
void fuzzKlfExport(const std::uint8_t* data, std::size_t size);

} // namespace zentor::fuzz
