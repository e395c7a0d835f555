// Where the email wrapper cuts a line: legal cuts at the end of a word, unbreakable tokens and
// the cut inside a word that is longer than the room.
#include "formatter/email_cut.h"

#include <algorithm>

namespace lintrel::detail {

void MeasuredChars::measure(std::string_view line, const CharMeasure &measure)
{
    text = line;
    offsets.resize(line.size() + 1);
    widths.resize(line.size() + 1);
    size_t count = 0;
    int64_t total = 0;
    const auto *bytes = reinterpret_cast<const unsigned char *>(line.data());
    for (size_t pos = 0; pos < line.size(); ++count) {
        offsets[count] = pos;
        widths[count] = total;
        // ASCII not followed by a multi-byte character: one character of width 1.
        if (bytes[pos] < 0x80 && (pos + 1 == line.size() || bytes[pos + 1] < 0x80)) {
            ++pos;
            ++total;
            continue;
        }
        int width = 0;
        pos = measure.next(line, pos, width);
        total += width;
    }
    offsets[count] = line.size();
    widths[count] = total;
    offsets.resize(count + 1);
    widths.resize(count + 1);
}

size_t MeasuredChars::fitEnd(size_t start, int64_t room) const
{
    const auto end = std::upper_bound(widths.begin() + std::ptrdiff_t(start), widths.end(),
                                      widths[start] + room);
    return size_t(end - widths.begin()) - 1;
}

namespace {

template <class Chars> class Cutter
{
public:
    Cutter(const Chars &chars, size_t start, CutContext &context)
        : c_(chars), start_(start), context_(context)
    {}

    Cut run(size_t visibleEnd)
    {
        first_ = start_;
        while (white(first_))
            ++first_;
        const size_t fit = c_.fitEnd(start_, context_.room); // [start, fit) fits
        size_t fallback = 0;
        const size_t legal = lastLegalRun(fit, fallback);
        const size_t overflow = overflowToken(fit, visibleEnd);
        // A link or address that does not fit moves to the next line whole.
        if (overflow > first_ && (legal == 0 || runEnd(legal) < overflow) &&
            isUnbreakable(overflow))
            return {runStart(overflow), overflow};
        if (legal != 0)
            return {legal, runEnd(legal)};
        if (fallback != 0)
            return {fallback, runEnd(fallback)};
        return cutInsideWord(fit);
    }

private:
    bool white(size_t i) const { return i < c_.size() && isWhite(c_.classOf(i)); }
    std::string_view slice(size_t from, size_t to) const
    {
        return c_.text.substr(c_.offset(from), c_.offset(to) - c_.offset(from));
    }
    size_t runEnd(size_t i) const
    {
        while (white(i))
            ++i;
        return i;
    }
    size_t runStart(size_t i) const
    {
        while (i > start_ && white(i - 1))
            --i;
        return i;
    }
    size_t tokenEnd(size_t i) const
    {
        while (i < c_.size() && !white(i))
            ++i;
        return i;
    }
    size_t tokenStart(size_t i) const
    {
        while (i > start_ && !white(i - 1))
            --i;
        return i;
    }
    bool isUnbreakable(size_t token) const
    {
        if (token < context_.breakableEnd)
            return false; // the rest of a word already cut inside
        const size_t end = tokenEnd(token);
        const bool unbreakable = isUnbreakableToken(slice(token, end));
        if (!unbreakable)
            context_.breakableEnd = end;
        return unbreakable;
    }

    // The latest white-space run starting at or before `fit` after which a cut may fall: it
    // holds a space or follows a full stop. Returns its start, 0 when there is none; runs
    // that would leave a piece reading as line structure are skipped, the latest of them
    // noted in `fallback`.
    size_t lastLegalRun(size_t fit, size_t &fallback) const
    {
        for (size_t r = fit; r > first_; --r) {
            if (!white(r) || white(r - 1))
                continue;
            const size_t end = runEnd(r);
            bool space = c_.classOf(r - 1) == CharClass::Stop;
            for (size_t i = r; i < end && !space; ++i)
                space = c_.classOf(i) == CharClass::Space;
            if (!space)
                continue;
            if (context_.avoidStructure && leavesStructure(r, end)) {
                if (fallback == 0)
                    fallback = r;
                continue;
            }
            return r;
        }
        return 0;
    }

    bool leavesStructure(size_t headEnd, size_t next) const
    {
        return startsLikeLineStructure(c_.text.substr(c_.offset(next))) ||
               slice(start_, headEnd) == "--";
    }

    // The first token that does not fit: the one holding character `fit`, or the next one.
    size_t overflowToken(size_t fit, size_t visibleEnd) const
    {
        if (fit >= visibleEnd)
            return visibleEnd;
        return white(fit) ? runEnd(fit) : tokenStart(fit);
    }

    // The first word is longer than the room: cut after its last full stop that fits, else
    // after the last character that fits, but never inside a link or an address.
    Cut cutInsideWord(size_t fit) const
    {
        size_t cut = fit;
        for (size_t j = fit; j > first_ + 1; --j) {
            if (c_.classOf(j - 1) == CharClass::Stop) {
                cut = j;
                break;
            }
        }
        cut = std::max(cut, first_ + 1);
        if (!white(cut) && cut < c_.size()) {
            const size_t token = tokenStart(cut);
            if (token < cut && isUnbreakable(token)) {
                if (token > first_)
                    return {runStart(token), token};
                const size_t end = tokenEnd(token);
                return {end, runEnd(end)};
            }
        }
        if (white(cut))
            return {runStart(cut), runEnd(cut)};
        if (cut > start_ && white(cut - 1))
            return {runStart(cut), cut};
        return {cut, cut};
    }

    const Chars &c_;
    size_t start_;
    size_t first_ = 0; // the piece's first non-white character
    CutContext &context_;
};

} // namespace

template <class Chars>
Cut findCut(const Chars &chars, size_t start, size_t visibleEnd, CutContext &context)
{
    return Cutter<Chars>(chars, start, context).run(visibleEnd);
}

template Cut findCut(const AsciiChars &, size_t, size_t, CutContext &);
template Cut findCut(const MeasuredChars &, size_t, size_t, CutContext &);

} // namespace lintrel::detail
