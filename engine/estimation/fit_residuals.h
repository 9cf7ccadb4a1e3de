// The standardized-residual work file ZUU: one record per measured person, NI 16-bit values at
// byte (n - 1) x 2 NI, each observation's residual coded by the first letter of PRCOMP=
// (-32768 where there is no observation).
#pragma once

#include <cstdint>
#include <vector>

namespace korvelan {

inline constexpr std::int16_t kNoObservation = -32768;

// The residual record value of one observation: residual y, standardized residual z, model
// variance w, recoded category x of a scale with top category m, and px the probability of
// category x under the item's model (the category probability, also in the chains).
std::int16_t residual_code(char kind, float y, float z, float w, int x, int m, float px);

// The residual records of consecutive persons of one chunk, gathered and written to ZUU in one
// positioned write. Persons whose record is not written leave their place in the file
// untouched.
class ResidualBlock {
public:
    // fd < 0: nothing is written (record gives null).
    ResidualBlock(int fd, int items, int persons);
    ~ResidualBlock() { flush(); }
    ResidualBlock(const ResidualBlock&) = delete;
    ResidualBlock& operator=(const ResidualBlock&) = delete;
    // Where the record of person n goes; its values are kept once `keep` is called.
    std::int16_t* record(int n);
    void keep() { ++count_; }
    // The first person whose record could not be written, or 0.
    std::int32_t failed() {
        flush();
        return failed_;
    }
    // The errno of that write (0 when every record was written).
    int failed_errno() const { return failed_errno_; }

private:
    std::size_t record_bytes() const;
    void flush();
    int fd_;
    std::size_t items_;
    std::size_t capacity_;
    std::vector<std::int16_t> values_;
    int first_ = 0;
    std::size_t count_ = 0;
    std::int32_t failed_ = 0;
    int failed_errno_ = 0;
};

}  // namespace korvelan
