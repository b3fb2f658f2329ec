// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "core/AppNotification.h"
#include "filetable/FileDetailsViewController.h"
#include "rules/Transformers.h"
#include "ruleui/SidePanelViewController.h"
#include "tokenui/LookupTablePanelController.h"
#include "tokenui/TokenAttributePanelController.h"

namespace {

// The window's side panel shows each of its three panels when asked. The
// lookup table closes itself unless a conversion rule is selected, and without
// the cross-fade it is gone at once, so one is selected.
TEST_F(AppTest, TheSidePanelHoldsTheInspectorTheTokenPanelAndTheLookupTable)
{
    const int duration = SidePanelViewController::animationDuration;
    SidePanelViewController::animationDuration = 0;
    const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
    ASSERT_TRUE(transformers);
    Transformer conversion = Transformer::newTransformer();
    conversion.type = TransformerType::conversion;
    transformers->load({ conversion });
    transformers->selectTransformer(conversion.id);
    MainWindow& shown = makeWindow();
    shown.show();
    const auto panelShown = [&](auto* type) {
        using Panel = std::remove_pointer_t<decltype(type)>;
        return TestEnvironment::processEventsUntil([&] {
            const auto panels = shown.findChildren<Panel*>();
            return !panels.isEmpty() && panels.first()->isVisibleTo(&shown);
        });
    };
    AppNotification::post(NotificationName::toggleTokenAttributePanel);
    EXPECT_TRUE(panelShown(static_cast<TokenAttributePanelController*>(nullptr)));
    AppNotification::post(NotificationName::showLookupTable);
    EXPECT_TRUE(panelShown(static_cast<LookupTablePanelController*>(nullptr)));
    AppNotification::post(NotificationName::showFileInspector);
    EXPECT_TRUE(panelShown(static_cast<FileDetailsViewController*>(nullptr)));
    SidePanelViewController::animationDuration = duration;
}

} // namespace
