// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Ed25519 signatures of downloaded updates.
namespace SignatureUtil {

// The publisher's public key the build was configured with: 64 hexadecimal
// digits; empty when none was given, and then nothing verifies.
QString publicKey();

// True only when `signature` (hexadecimal, other characters ignored) is the
// Ed25519 signature of exactly these bytes under the key.
bool validateSignedData(const QByteArray& data, const std::optional<QString>& signature,
    const QString& publicKeyHex = publicKey());

} // namespace SignatureUtil
