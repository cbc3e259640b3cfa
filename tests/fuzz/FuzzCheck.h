#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A broken invariant: print what was checked and the values involved, then abort so that
// libFuzzer records the input as a crash. (assert() is compiled out in RelWithDebInfo.)
[[noreturn]] inline void fuzzFail(const char *condition, const QString &detail)
{
    std::fprintf(stderr, "fuzz check failed: %s\n%s\n", condition, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                                                            \
    do {                                                                                                                         \
        if (!(condition))                                                                                                        \
            fuzzFail(#condition, (detail));                                                                                      \
    } while (0)

// Reads fixed-size values from the front of a fuzz input; missing bytes read as zero.
class FuzzReader
{
public:
    FuzzReader(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {}

    template <typename T>
    T take()
    {
        T value{};
        unsigned char bytes[sizeof(T)] = {};
        const size_t n = m_size < sizeof(T) ? m_size : sizeof(T);
        if (n > 0)
            std::memcpy(bytes, m_data, n);
        std::memcpy(&value, bytes, sizeof(T));
        m_data += n;
        m_size -= n;
        return value;
    }

    // Whatever is left, read as UTF-8 (invalid sequences become U+FFFD).
    QString restAsUtf8() const { return QString::fromUtf8(reinterpret_cast<const char *>(m_data), qsizetype(m_size)); }

private:
    const uint8_t *m_data;
    size_t m_size;
};

// Text with its control characters escaped, for failure messages.
inline QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c == u'"' || c == u'\\')
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u'"';
}

inline bool hasAsciiDigit(const QString &text)
{
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            return true;
    return false;
}
