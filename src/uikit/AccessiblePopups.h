// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt leaves shown popups (popovers, the description editor) out of the
// application's accessibility tree, so a screen reader never meets their
// controls. Once installed, the application's node lists every top-level
// window as Qt does, and each popup as well while it is shown. Install it
// before anything asks for the application's node.
namespace AccessiblePopups {

void install();

} // namespace AccessiblePopups
