#pragma once

#include <QByteArrayView>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// An invariant of a fuzz target: a broken one aborts in every build, unlike Q_ASSERT.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond);                \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// The fuzzer's input taken from the front.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_rest(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))
    { }

    // 0 once the input is used up.
    uint8_t takeByte()
    {
        if (m_rest.isEmpty())
            return 0;
        const auto byte = static_cast<uint8_t>(m_rest.front());
        m_rest = m_rest.sliced(1);
        return byte;
    }

    QByteArrayView take(qsizetype count)
    {
        const QByteArrayView taken = m_rest.first(std::min(count, m_rest.size()));
        m_rest = m_rest.sliced(taken.size());
        return taken;
    }

    // The bytes up to the first separator (all when there is none); the separator is dropped.
    QByteArrayView takeUpTo(char separator)
    {
        const qsizetype at = m_rest.indexOf(separator);
        const QByteArrayView taken = take(at < 0 ? m_rest.size() : at);
        take(at < 0 ? 0 : 1);
        return taken;
    }

    QByteArrayView rest() const { return m_rest; }

private:
    QByteArrayView m_rest;
};
