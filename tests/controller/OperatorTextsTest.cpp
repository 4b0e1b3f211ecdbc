// The table of operator texts and the choice of language.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Harness.h"
#include "activity/ActivityModel.h"
#include "controller/AboutModel.h"
#include "controller/OperatorTexts.h"
#include "controller/SplashModel.h"
#include "controller/WindowLayout.h"

namespace relaydeck {
namespace {

using C = MainControl;
using testing::Harness;

constexpr Language kLanguages[] = {Language::AsDesigned, Language::English, Language::Portuguese};

bool isNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos;
}

TEST(OperatorTexts, EveryIdHasATextInEveryLanguageAndEachDesignedTextIsOnce) {
    std::set<std::string> designed;
    for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
        const auto id = static_cast<TextId>(i);
        for (const Language language : kLanguages) {
            EXPECT_STRNE(operatorText(id, language), "") << i;
        }
        EXPECT_TRUE(designed.insert(designedText(id)).second) << designedText(id);
        EXPECT_EQ(findDesignedText(designedText(id)), id);
    }
    EXPECT_EQ(findDesignedText("PY2XYZ"), std::nullopt);
    // The log's event names are the designed ones, whatever the language.
    for (int e = 0; e < static_cast<int>(ActivityEvent::Count); ++e) {
        const auto event = static_cast<ActivityEvent>(e);
        EXPECT_STREQ(designedText(activityEventText(event)), activityEventName(event));
    }
}

TEST(OperatorTexts, EveryCaptionAndHintOfTheWindowsComesFromTheTable) {
    for (const auto definitions :
         {mainControlDefinitions(), splashControlDefinitions(), aboutControlDefinitions()}) {
        for (const ControlDefinition& d : definitions) {
            const std::string_view text = d.text;
            const bool ownText = d.kind == ControlKind::TextField ||
                                 d.kind == ControlKind::Picture || text.empty() || isNumber(text);
            if (!ownText) {
                EXPECT_TRUE(findDesignedText(text)) << d.name << ": " << text;
            }
            if (d.tooltip[0] != '\0') {
                EXPECT_TRUE(findDesignedText(d.tooltip)) << d.name;
            }
        }
    }
    for (const WindowLayout* layout : {&mainLayout(), &activityLayout()}) {
        for (const CaptionLayout& caption : layout->captions) {
            EXPECT_TRUE(findDesignedText(caption.text)) << caption.text;
        }
    }
}

TEST(OperatorTexts, AsDesignedShowsTheTextsByteForByte) {
    const OperatorTexts texts;
    for (const char* text :
         {"Ativa Repetidora", "Sai da Pontevox", "CW ID is  -15dB durante conversa completamente",
          "IP  tráfego não para fora", "1750Hz Acesso Tonebust ", "Quit Relaydeck - Are You Sure ?",
          "Waiting for next over ...", "S&ai", "PY2XYZ"}) {
        EXPECT_EQ(texts.shown(text), text);
    }
    EXPECT_EQ(languageFromSetting(" PT-br "), Language::Portuguese);
    EXPECT_EQ(languageFromSetting("fr"), std::nullopt);
}

TEST(OperatorTexts, AChoiceAppliesAtOnceAndIsKeptInItsOwnSection) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("HANGTIME=7");
    MainModel& m = h.start();
    EXPECT_EQ(m.value(C::mnuLanguageAsDesigned), 1);
    int told = 0;
    auto listening = h.program->texts().listen([&told] { ++told; });

    m.click(C::mnuLanguageEnglish);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(m.value(C::mnuLanguageEnglish), 1);
    EXPECT_EQ(m.value(C::mnuLanguageAsDesigned), 0);
    EXPECT_EQ(h.program->texts().shown(m.text(C::Save)), "Save settings");
    // The model keeps its texts as designed; only what is shown changes.
    EXPECT_EQ(m.text(C::Status), "Waiting...");
    const std::string file = h.fileText();
    EXPECT_NE(file.find("[RELAYDECK]\r\nLANGUAGE=en\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("[SETTINGS]\r\nHANGTIME=7\r\n"), std::string::npos) << file;

    // Boxes speak the language in force.
    m.click(C::mnuLanguagePortuguese);
    EXPECT_EQ(h.program->texts().shown("Log files in /srv/x"), "Arquivos de registro em /srv/x");
    m.requestClose();  // answered No: the program goes on
    ASSERT_FALSE(h.op.boxes.empty());
    EXPECT_EQ(h.op.boxes.back().title, "Sair do programa");

    // The next run starts in the language kept.
    listening.reset();
    h.newProgram();
    EXPECT_EQ(h.program->texts().language(), Language::Portuguese);
}

}  // namespace
}  // namespace relaydeck
