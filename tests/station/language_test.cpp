#include <gtest/gtest.h>

#include "support/station_fixture.hpp"
#include "ui/captions.hpp"

namespace orv::test {
namespace {

struct Telling {
    const char* control;
    bool hint;
    const char* english;
    const char* french;
};

TEST(Language, TheCaptionTableAndItsSpecialRowsFollowTheLanguage) {
    constexpr Telling kRows[] = {
        {"Connection", false, "Link opening", "Ouverture lien"},
        {"Abandon", false, "&Exit", "Abandon"},
        {"Le_temps_de_latence", false, "Latency time in 1/10 s", "Temps de latence en 1/10 s"},
        {"Fe_regulee", false, "Sf adapted", "Fe adaptée"},
        {"Group_FREQUENCE_HF", false, "HF frequency (KHz)", "Fréquence HF (KHz)"},
        {"FM_Commercial_96", false, "Broadcast FM (96 KHz)", "Radio FM (96 KHz)"},
        {"FM_Commercial_192", false, "Broadcast FM (192KHz)", "Radio FM (192KHz)"},
        {"Bouton_spectre_gris", true, "Waterfall in grey levels", "Chute d'eau (\"Waterfall\") en nuances de gris"},
        {"Fe_48000", false, "48000 (standard frequency for 48 KHz sound cards)",
         "48000 (fréquence standard pour cartes sons 48 KHz)"},
    };
    StationFixture f;
    f.station->startUp();
    for (const std::uint8_t language : {kFrench, kEnglish}) {
        if (language == kFrench)
            f.station->languages().frenchClick();
        else
            f.station->languages().englishClick();
        for (const auto& r : kRows) {
            const Control& c = f.controls().get(r.control);
            EXPECT_EQ(r.hint ? c.hint : c.caption, language == kEnglish ? r.english : r.french) << r.control;
        }
        EXPECT_EQ(f.controls().get("Bande_4000").hint, f.controls().get("Bande_3300").hint);
        EXPECT_EQ(f.controls().get("English1").down, language == kEnglish);
        EXPECT_EQ(f.controls().get("Francais1").down, language == kFrench);
        // Written at once.
        EXPECT_EQ(f.files.contents.at(f.files.pathOf(kConfigFileName))[config::kLanguage], language);
    }
}

TEST(Language, TheChoiceSurvivesARestart) {
    StationFixture first;
    first.station->startUp();
    first.station->languages().frenchClick();
    StationFixture second;
    second.files.contents = first.files.contents;
    second.station->startUp();
    EXPECT_EQ(second.station->language(), kFrench);
    EXPECT_EQ(second.controls().get("Connection").caption, "Ouverture lien");
    EXPECT_EQ(second.controls().get("Carte_son_par_defaut_RX").caption, "Carte son par défaut de l'ordinateur");
}

TEST(Language, EveryRowHasBothTexts) {
    for (const CaptionRow& row : kCaptionRows) {
        EXPECT_NE(std::string(row.english), "") << row.control;
        EXPECT_NE(std::string(row.french), "") << row.control;
    }
    EXPECT_EQ(std::size(kCaptionRows), 91u);
}

}  // namespace
}  // namespace orv::test
