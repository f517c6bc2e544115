// The Station dialog offscreen: it shows the texts it is given and gives back what was edited.
#include "ui/qt/station_dialog.h"

#include "config/settings_schema.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kelvora::ui {
namespace {

template <typename T> T* widget(StationDialog& d, const char* name) {
    T* found = d.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(StationDialogTest, ShowsDefaultsAndGivesBackEveryEdit) {
    StationDialog d;
    d.setValues({{"Move_Seconds", "50-59"}, {"Az_Min", "10"}});
    EXPECT_EQ(widget<QLineEdit>(d, "Move_Seconds")->text(), "50-59");
    EXPECT_EQ(widget<QLineEdit>(d, "Park_Az")->text(), "180") << "a missing key shows its default";
    EXPECT_FALSE(widget<QCheckBox>(d, "Hold_Tx")->isChecked());

    widget<QCheckBox>(d, "Hold_Tx")->setChecked(true);
    widget<QLineEdit>(d, "Stale_Seconds")->setText("0");
    d.setFileChooser([] { return std::optional<std::string>("/home/op/horizon.txt"); });
    widget<QPushButton>(d, "Horizon_File_Browse")->click();
    StationDialog::Values v = d.values();
    EXPECT_EQ(v.size(), 11u);
    EXPECT_EQ(v["Hold_Tx"], "1");
    EXPECT_EQ(v["Stale_Seconds"], "0");
    EXPECT_EQ(v["Horizon_File"], "/home/op/horizon.txt");
    EXPECT_EQ(v["Move_Seconds"], "50-59");

    widget<QLineEdit>(d, "Az_Max")->setText("5"); // below Az_Min
    EXPECT_FALSE(widget<QPushButton>(d, "Ok")->isEnabled());
    EXPECT_TRUE(widget<QLabel>(d, "Errors")->text().contains("Az_Min, Az_Max"));
    widget<QLineEdit>(d, "Az_Max")->setText("350");
    EXPECT_TRUE(widget<QPushButton>(d, "Ok")->isEnabled());
}

TEST(StationDialogTest, EveryShownStationRowHasItsWidgetUnitAndHelp) {
    StationDialog d;
    int rows = 0;
    for (const config::SchemaRow& row : config::settingsSchema()) {
        std::string key(row.key);
        auto* w = d.findChild<QWidget*>(QString::fromStdString(key));
        if (row.shownIn != config::ShownIn::StationDialog) {
            EXPECT_EQ(w, nullptr) << key << " is in the dialog but not shown by the schema";
            continue;
        }
        ++rows;
        ASSERT_NE(w, nullptr) << key;
        EXPECT_EQ(w->toolTip().toStdString(), config::tooltipOf(row)) << key;
        auto* unit = d.findChild<QLabel*>(QString::fromStdString(key + "_unit"));
        EXPECT_EQ(unit != nullptr, !row.unit.empty()) << key;
        if (unit != nullptr) {
            EXPECT_EQ(unit->text().toStdString(), row.unit) << key;
        }
    }
    EXPECT_EQ(rows, 11);
    EXPECT_NE(d.findChild<QWidget*>("Az_Min")->toolTip().indexOf("0..360"), -1);
}

} // namespace
} // namespace kelvora::ui
