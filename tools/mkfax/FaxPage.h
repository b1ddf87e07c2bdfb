#pragma once
// Drawing the pages of a generated document (internal to the mkfax library).

#include "FaxWriter.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>

namespace mkfax {

// Fixed pseudo-random numbers (SplitMix64): the same seed gives the same text on every machine.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next();
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    template <typename List> const auto& Pick(const List& l) { return l[Below(static_cast<int>(l.size()))]; }

private:
    std::uint64_t m_state;
};

// Composes the upright pages of one document. Page bodies are drawn once per kind and reused; each page
// only gets its own fax header line and page-number box on top.
class PageComposer
{
public:
    explicit PageComposer(const FaxDocSpec& desc);

    // Upright page: Grayscale8 (bilevel pages hold only 0 and 255) or RGB888.
    QImage Page(int index);

private:
    struct Sender
    {
        QString company, street, city, phone, fax, person, bank;
    };

    const QImage& Body(int kind);
    void DrawBody(QImage& img, int kind);
    // Returns the number of rows from the top that it may have changed.
    int DrawOverlay(QImage& img, int index);

    FaxDocSpec m_doc;
    Sender m_sender;
    QStringList m_recipient;
    std::map<int, QImage> m_bodies;
};

// Pixels below 128 become 0, the others 255 (bilevel pages); only the first `rows` rows when >= 0.
void Threshold(QImage& grey, int rows = -1);

} // namespace mkfax
