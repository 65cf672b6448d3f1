#include "RecordFile.h"

namespace zentor::sim {

bool RecordFile::open(const std::string& path)
{
    out_.open(path, std::ios::binary | std::ios::trunc);
    return out_.is_open();
}

void RecordFile::append(const Bytes& record)
{
    out_.write(reinterpret_cast<const char*>(record.data()),
               static_cast<std::streamsize>(record.size()));
}

void RecordFile::flush()
{
    out_.flush();
}

} // namespace zentor::sim
