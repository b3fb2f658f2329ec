// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SignatureUtil.h"

#include "core/Data+reader.h"

#include <sodium.h>

namespace SignatureUtil {

QString publicKey()
{
    return QStringLiteral(BRACKENFOLD_UPDATE_PUBLIC_KEY);
}

bool validateSignedData(const QByteArray& data, const std::optional<QString>& signature, const QString& publicKeyHex)
{
    static const bool ready = sodium_init() >= 0;
    if (!ready || !signature)
        return false;
    const QByteArray key = Data::fromHexEncodedString(publicKeyHex);
    const QByteArray signatureBytes = Data::fromHexEncodedString(*signature);
    if (key.size() != crypto_sign_PUBLICKEYBYTES || signatureBytes.size() != crypto_sign_BYTES)
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signatureBytes.constData()),
               reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long long>(data.size()),
               reinterpret_cast<const unsigned char*>(key.constData()))
        == 0;
}

} // namespace SignatureUtil
