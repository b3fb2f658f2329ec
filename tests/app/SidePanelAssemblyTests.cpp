#include "AppTestSupport.h"
#include "core/AppNotification.h"
#include "platform/NotificationQueue.h"
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

// Leaving a lookup rule closes the lookup table, never another panel.
TEST_F(AppTest, HidingTheLookupTableLeavesTheOtherPanelsOpen)
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
    const auto shows = [&](auto* type) {
        using Panel = std::remove_pointer_t<decltype(type)>;
        const auto panels = shown.findChildren<Panel*>();
        return !panels.isEmpty() && panels.first()->isVisibleTo(&shown);
    };
    const auto settle = [] {
        return TestEnvironment::processEventsUntil([] { return NotificationQueue::defaultQueue().pendingCount() == 0; });
    };
    for (const QString& other : { NotificationName::showFileInspector, NotificationName::showTokenAttributePanel }) {
        SCOPED_TRACE(other.toStdString());
        AppNotification::post(other);
        ASSERT_TRUE(settle());
        const bool inspector = other == NotificationName::showFileInspector;
        ASSERT_TRUE(inspector ? shows(static_cast<FileDetailsViewController*>(nullptr))
                              : shows(static_cast<TokenAttributePanelController*>(nullptr)));
        AppNotification::post(NotificationName::hideLookupTable);
        ASSERT_TRUE(settle());
        EXPECT_TRUE(inspector ? shows(static_cast<FileDetailsViewController*>(nullptr))
                              : shows(static_cast<TokenAttributePanelController*>(nullptr)));
    }
    AppNotification::post(NotificationName::showLookupTable);
    ASSERT_TRUE(settle());
    ASSERT_TRUE(shows(static_cast<LookupTablePanelController*>(nullptr)));
    AppNotification::post(NotificationName::hideLookupTable);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return !shows(static_cast<LookupTablePanelController*>(nullptr)); }));
    SidePanelViewController::animationDuration = duration;
}

} // namespace
