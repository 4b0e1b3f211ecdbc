#pragma once
/// @file
/// @brief The main window's status line texts.

#include "controller/OperatorTexts.h"

namespace relaydeck {

inline const char* const kStatusWaiting = designedText(TextId::StatusWaiting);
inline const char* const kStatusReceiving = designedText(TextId::StatusReceiving);
inline const char* const kStatusWaitingForNextOver = designedText(TextId::StatusWaitingForNextOver);
inline const char* const kStatusTimeOut = designedText(TextId::StatusTimeOut);

}  // namespace relaydeck
