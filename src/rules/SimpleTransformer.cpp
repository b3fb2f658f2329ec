#include "rules/SimpleTransformer.h"

#include "core/CanonicalText.h"
#include "core/String+find.h"
#include "core/String+utilities.h"
#include "core/TextOffsets.h"

namespace {

// Every occurrence of `find` replaced literally, comparing whole characters:
// case-insensitively and without regard to the text's marks when asked.
QString replaceOccurrences(const QString& source, const QString& find, const QString& replace, bool caseInsensitive,
    bool diacriticInsensitive)
{
    const QStringList characters = TextOffsets(source).characters();
    const QStringList findCharacters = TextOffsets(find).characters();
    const qsizetype count = findCharacters.size();
    const auto same = [&](const QString& character, const QString& findCharacter) {
        const QString compared = diacriticInsensitive ? String::withoutDiacritics(character) : character;
        return QString::compare(compared, findCharacter, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive)
            == 0;
    };
    QString result;
    qsizetype i = 0;
    while (i < characters.size()) {
        bool found = count > 0 && i + count <= characters.size();
        for (qsizetype j = 0; found && j < count; ++j)
            found = same(characters[i + j], findCharacters[j]);
        if (found) {
            result += replace;
            i += count;
        } else {
            result += characters[i];
            ++i;
        }
    }
    return result;
}

} // namespace

QString SimpleTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to find some text and replace it with some other text.\n\n"
                          "When using wildcards (*), the captured wildcard text can be used in Replace using $1, $2 "
                          "etc. for each matched wildcard.");
}

void SimpleTransformer::run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    if (properties.simpleFindText.value_or(QString()).isEmpty())
        return;
    const QString replace = resolvedText(mode, properties.simpleReplaceText, file);
    const QString text = file.transformed.getTransformedText(transformScope);
    file.transformed.setTransformedText(replaceText(replace, text, properties), transformScope);
}

QString SimpleTransformer::replaceText(const QString& replace, const QString& text,
    const TransformerProperties& properties)
{
    const QString find = CanonicalText::nfc(properties.simpleFindText.value_or(QString()));
    if (find.isEmpty())
        return text;
    const bool caseInsensitive = properties.simpleCaseInsensitive.value_or(false);
    const bool findFirst = properties.simpleFindFirst.value_or(false);
    const bool wildcards = properties.simpleWildcards.value_or(false)
        && (find.contains(QLatin1Char('*')) || find.contains(QLatin1Char('#')));
    QString source = CanonicalText::nfc(text);

    if (!wildcards && !findFirst)
        return replaceOccurrences(source, find, replace, caseInsensitive, !String::hasDiacritics(find));

    const QString pattern = wildcards ? String::wildcardsAsRegex(find) : String::regexLiteral(find);
    CompareOptions options = CompareOption::regularExpression;
    if (caseInsensitive)
        options |= CompareOption::caseInsensitive;
    QList<TextRange> found = String::ranges(source, pattern, options);
    if (found.isEmpty())
        return text;
    if (findFirst)
        found.resize(1);
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const QString matched = CanonicalText::nfc(source.mid(it->start, it->length()));
        source.replace(it->start, it->length(),
            String::stringByReplacingOccurrences(matched, pattern, replace, caseInsensitive));
    }
    return source;
}
