// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/LookupSearch.h"

#include "core/CanonicalText.h"
#include "core/String+utilities.h"
#include "core/TextOffsets.h"
#include "rules/TextReplacement.h"

#include <algorithm>
#include <bitset>

namespace {

// The case-folded first code point of a character: what a comparison with or
// without regard to case looks at first, so equal characters share it.
char32_t foldedStart(QStringView character)
{
    if (character.isEmpty())
        return 0;
    char32_t codePoint = character.front().unicode();
    if (character.size() > 1 && character[0].isHighSurrogate() && character[1].isLowSurrogate())
        codePoint = QChar::surrogateToUcs4(character[0], character[1]);
    return QChar::toCaseFolded(codePoint);
}

// Up to three code points (21 bits each) in one key.
constexpr int kStartLength = 3;

// 2^16 bits a key set: a name sets a few dozen, so a row whose start the name
// does not hold is seldom let through to the search by another key's bit.
constexpr int kKeyBits = 16;

quint64 withNext(quint64 key, char32_t codePoint)
{
    return (key << 21) | codePoint;
}

quint32 keyBit(quint64 key)
{
    return quint32((key * 0x9E3779B97F4A7C15ULL) >> (64 - kKeyBits));
}

} // namespace

// Which runs of one to three characters a name holds, by their folded first
// code points: as they are, and with the marks dropped from characters beyond
// ASCII, as a row without marks compares them.
class LookupSearch::NameKeys {
public:
    explicit NameKeys(const QString& name)
    {
        const TextOffsets characters(name);
        // The keys of the runs ending at the character before, by length.
        quint64 runs[2][kStartLength] = {};
        int runLength[2] = { 0, 0 };
        for (qsizetype i = 0; i < characters.characterCount(); ++i) {
            const QStringView character = characters.character(i);
            const bool ascii = character.size() == 1 && character.front().unicode() < 0x80;
            const QString bare = ascii ? QString() : String::withoutDiacritics(character.toString());
            for (int marks = 0; marks < 2; ++marks) {
                // A character whose marks are all it has matches no find character.
                if (marks == 1 && !ascii && bare.isEmpty()) {
                    runLength[marks] = 0;
                    continue;
                }
                const char32_t key = marks == 0 || ascii ? foldedStart(character) : foldedStart(bare);
                runLength[marks] = std::min(runLength[marks] + 1, kStartLength);
                for (int length = runLength[marks]; length > 1; --length)
                    runs[marks][length - 1] = withNext(runs[marks][length - 2], key);
                runs[marks][0] = key;
                for (int length = 1; length <= runLength[marks]; ++length)
                    m_runs[marks][length - 1].set(keyBit(runs[marks][length - 1]));
            }
        }
    }

    // False only when the row's find text cannot occur in the name.
    bool mayHold(const Row& row) const
    {
        return m_runs[row.diacriticInsensitive ? 1 : 0][row.startLength - 1].test(row.startBit);
    }

private:
    std::bitset<1 << kKeyBits> m_runs[2][kStartLength];
};

LookupSearch::LookupSearch(const QList<QStringList>& table)
    : m_table(table)
{
    m_rows.reserve(table.size());
    for (const QStringList& entry : table) {
        // Rows without a find text and its replacement (hand-edited recipes) change nothing.
        if (entry.size() < 2 || entry.at(0).isEmpty())
            continue;
        Row row;
        row.find = CanonicalText::nfc(entry.at(0));
        row.replace = entry.at(1);
        row.diacriticInsensitive = !String::hasDiacritics(row.find);
        const TextOffsets characters(row.find);
        row.startLength = int(std::min<qsizetype>(characters.characterCount(), kStartLength));
        if (row.startLength == 0)
            continue;
        quint64 start = 0;
        for (int i = 0; i < row.startLength; ++i)
            start = withNext(start, foldedStart(characters.character(i)));
        row.startBit = keyBit(start);
        m_rows.push_back(std::move(row));
    }
}

std::shared_ptr<const LookupSearch> LookupSearch::forTable(const QList<QStringList>& table)
{
    // The rule runs for every file of a pass with the same table; the kept
    // copy holds its storage, so equal storage means the same table.
    thread_local std::shared_ptr<const LookupSearch> last;
    if (!last || last->m_table.constData() != table.constData() || last->m_table.size() != table.size())
        last = std::make_shared<const LookupSearch>(table);
    return last;
}

QString LookupSearch::apply(const QString& text, bool caseInsensitive, bool anchorStart, bool anchorEnd) const
{
    using TextReplacement::Anchor;
    QString current = CanonicalText::nfc(text);
    // On the heap: the key sets take 48 KiB.
    std::unique_ptr<NameKeys> keys;
    for (const Row& row : m_rows) {
        if (!keys)
            keys = std::make_unique<NameKeys>(current);
        if (!keys->mayHold(row))
            continue;
        const auto replaced = [&](Anchor anchor) {
            return TextReplacement::replaceOccurrences(current, row.find, row.replace, caseInsensitive,
                row.diacriticInsensitive, anchor);
        };
        QString next;
        if (anchorStart && anchorEnd) {
            const QString atStart = replaced(Anchor::start);
            next = atStart == replaced(Anchor::end) ? atStart : current;
        } else {
            next = replaced(anchorStart ? Anchor::start : anchorEnd ? Anchor::end : Anchor::none);
        }
        if (next != current) {
            current = std::move(next);
            keys.reset();
        }
    }
    return current;
}
