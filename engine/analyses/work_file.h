// The direct-access work files of the residual analyses, as plain descriptors owned by the call
// that opens them: the residual file ZUU (read only) and the correlation files ZTT, ZWW and ZSS
// of one 8-byte real per pair. Record numbers are 64-bit and start at 1; the byte offset of
// record p is (p - 1) x record length.
//
// The correlation files are read and written in ascending record order in every pass, so both
// directions go through a buffer of consecutive records. A pass reads each record before it
// writes it and never reads it again, so one file may be read and rewritten in the same pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvelan {

// One open file descriptor, closed (and deleted when asked) at the end of its owner.
class WorkFileHandle {
public:
    WorkFileHandle() = default;
    ~WorkFileHandle() { close(); }
    WorkFileHandle(const WorkFileHandle&) = delete;
    WorkFileHandle& operator=(const WorkFileHandle&) = delete;

    // Opens an existing file for reading; false when it cannot be opened.
    bool open_existing(const std::string& path, bool writable);
    // Creates the file or empties it, for reading and writing.
    bool create(const std::string& path);
    // Reads or writes `bytes` bytes at the offset; false on any failure or a short transfer.
    bool read_at(std::int64_t offset, void* data, std::int64_t bytes) const;
    bool write_at(std::int64_t offset, const void* data, std::int64_t bytes) const;
    // Reads up to `bytes` bytes at the offset; the count read (0 at the end of the file), or -1.
    std::int64_t read_some(std::int64_t offset, void* data, std::int64_t bytes) const;
    // Gives the file `bytes` bytes of disk at once; false when the disk cannot hold them.
    bool reserve(std::int64_t bytes) const;
    // Closes the file; delete_file removes it too.
    void close(bool delete_file = false);
    bool is_open() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

// A correlation work file: 8-byte reals by record number, read and written in ascending order.
class CorrelationRecords {
public:
    explicit CorrelationRecords(WorkFileHandle& file) : file_(file) {}
    ~CorrelationRecords() { flush(); }
    CorrelationRecords(const CorrelationRecords&) = delete;
    CorrelationRecords& operator=(const CorrelationRecords&) = delete;

    // Record p into value; false on a read failure.
    bool read(std::int64_t p, double& value);
    // Record p := value (buffered); false when an earlier buffered write failed.
    bool write(std::int64_t p, double value);
    // Writes what is buffered; false on a write failure.
    bool flush();
    // The record of the first buffered write that failed (0 when none).
    std::int64_t failed_record() const { return failed_; }

private:
    static constexpr std::int64_t kBufferRecords = 1 << 16;
    WorkFileHandle& file_;
    std::vector<double> read_buffer_;
    std::int64_t read_first_ = 0;  // record of read_buffer_[0]; 0 when empty
    std::vector<double> write_buffer_;
    std::int64_t write_first_ = 0;
    std::int64_t failed_ = 0;
};

}  // namespace korvelan
