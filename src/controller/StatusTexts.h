#pragma once
/// @file
/// @brief The main window's status line texts, and what its title adds while the link
///        program does not answer.

#include "controller/OperatorTexts.h"

namespace relaydeck {

inline const char* const kStatusWaiting = designedText(TextId::StatusWaiting);
inline const char* const kStatusReceiving = designedText(TextId::StatusReceiving);
inline const char* const kStatusWaitingForNextOver = designedText(TextId::StatusWaitingForNextOver);
inline const char* const kStatusTimeOut = designedText(TextId::StatusTimeOut);
/// @brief While the repeater is switched off (an option of Relaydeck's own).
inline const char* const kStatusRepeaterOff = designedText(TextId::StatusRepeaterOff);

/// @brief Beside a timing field whose text is not taken as typed: what is in force.
inline const char* const kInForceMark = designedText(TextId::InForceMark);
inline const char* const kInForceTooltip = designedText(TextId::InForceTip);

/// @brief Added to the title while a call waits for the link program: " - " + this +
/// the whole seconds waited + " s".
inline const char* const kTitleNotAnswering = designedText(TextId::TitleNotAnswering);

}  // namespace relaydeck
