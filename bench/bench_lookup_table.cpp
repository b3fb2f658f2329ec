// SPDX-License-Identifier: GPL-3.0-or-later
// The Conversion rule's lookup table at its largest: the time one name takes
// through 100,000 rows, for a table of short words, which many names hold, and
// for a table of names that few hold.
#include "rules/ConversionTransformer.h"

#include <random>

#include <benchmark/benchmark.h>

namespace {

constexpr int ROW_COUNT = 100000;

QString word(std::mt19937& random)
{
    QString text;
    const int length = 3 + int(random() % 6);
    for (int i = 0; i < length; ++i)
        text += QChar(char16_t(u'a' + random() % 26));
    return text;
}

void BM_LookupTable(benchmark::State& state)
{
    const bool words = state.range(0) == 0;
    std::mt19937 random(1);
    QList<QStringList> rows;
    rows.reserve(ROW_COUNT);
    for (int i = 0; i < ROW_COUNT; ++i)
        rows << (words ? QStringList { word(random), word(random) }
                       : QStringList { QStringLiteral("Client %1").arg(i), QStringLiteral("C-%1").arg(i) });
    TransformerProperties properties;
    properties.conversionType = ConversionType::lookup;
    properties.conversionLookup = rows;
    qint64 changed = 0;
    qint64 names = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("IMG_%1 ").arg(names) + word(random) + QLatin1Char(' ') + word(random);
        changed += ConversionTransformer::convertText(name, properties) != name;
        ++names;
    }
    state.counters["changed_share"] = names ? double(changed) / names : 0;
    state.SetLabel(words ? "100000 rows of short words" : "100000 rows of client names");
}
BENCHMARK(BM_LookupTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
