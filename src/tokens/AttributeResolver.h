// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"
#include "tokens/GPSAddressLookup.h"
#include "tokens/TokenString.h"

#include <memory>

// Turns a token string into the text a rule puts into a file name, for one file.
// Both variants throw TransformError. A token left empty for a reason the user
// should know (an address that could not be found) notes it on the file.
namespace AttributeResolver {

// The full resolution of the rename run; a file whose attributes were never
// loaded counts as having none.
QString resolvedAttributes(const TokenString& tokenString, File& file);
// The preview: loaded attributes and cached addresses only. An attribute item of
// a file whose attributes are not loaded yet throws late-update-required.
QString resolvedAttributesQuick(const TokenString& tokenString, File& file);

// The resolver of GPS address tokens, created on first use from the stored
// address cache; replaced by reverse geocoding and by tests.
std::shared_ptr<GPSAddressLookup> gpsAddressResolver();
void setGPSAddressResolver(std::shared_ptr<GPSAddressLookup> resolver);

} // namespace AttributeResolver
