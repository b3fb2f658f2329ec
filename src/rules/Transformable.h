// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FindParameters.h"
#include "core/RegularExpression.h"
#include "files/File.h"
#include "files/FileIndex.h"
#include "files/TransformScope.h"
#include "rules/TransformerProperties.h"
#include "rules/TransformerState.h"
#include "rules/TransformerType.h"
#include "tokens/TransformError.h"

#include <QString>

#include <optional>

// The preview resolves tokens from loaded data only; the full run before
// renaming may fetch what is missing.
enum class TransformMode { quick, full };

// One rule kind. A kind reads the text of its scope from the file's transform,
// computes the new text and writes it back. Both runs throw TransformError
// (or whatever the token resolution throws); the rule run decides what that
// means for the file.
class Transformable {
public:
    virtual ~Transformable() = default;

    virtual TransformerType type() const = 0;
    virtual QString helpText() const = 0;
    virtual QString buttonLabel() const = 0;
    virtual QString selectorLabel() const = 0;

    void transform(TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state)
    {
        run(TransformMode::full, transformScope, properties, file, fileIndex, state);
    }
    void transformQuick(TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state)
    {
        run(TransformMode::quick, transformScope, properties, file, fileIndex, state);
    }

    // The failure of a user's pattern that does not compile or takes too long.
    static TransformError regularExpressionError(const QString& detail);

protected:
    virtual void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
        File& file, FileIndex& fileIndex, TransformerState& state) = 0;

    // The text of a token field for the file; an absent field gives "".
    static QString resolvedText(TransformMode mode, const std::optional<TokenString>& text, File& file);
    // The same as a replacement template: typed text stays template syntax,
    // text taken from file attributes is inserted literally.
    static QString resolvedTemplate(TransformMode mode, const std::optional<TokenString>& text, File& file);
};

// The labels and type of a kind, given once as its static constants.
template <typename Kind>
class TransformableKind : public Transformable {
public:
    TransformerType type() const override { return Kind::TYPE; }
    QString buttonLabel() const override { return Kind::BUTTON_LABEL; }
    QString selectorLabel() const override { return Kind::SELECTOR_LABEL; }
};
