#include "controller/OperatorTexts.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace relaydeck {

namespace {

/// One text in each language: as designed, English, Portuguese (Brazil).
struct Row {
    TextId id;
    const char* designed;
    const char* english;
    const char* portuguese;
};

// Runs of eight or more blanks in a wrapped text stand for line ends.
#define RELAYDECK_BLANKS10 "          "
#define RELAYDECK_BREAK "        "

using T = TextId;

constexpr Row kRows[] = {
    {T::StatusReady, "Ready...", "Ready...", "Pronto..."},
    {T::StatusWaiting, "Waiting...", "Waiting...", "Aguardando..."},
    {T::StatusReceiving, "Receiving...", "Receiving...", "Recebendo..."},
    {T::StatusWaitingForNextOver, "Waiting for next over ...", "Waiting for next over ...",
     "Aguardando o próximo câmbio ..."},
    {T::StatusTimeOut, "TimeOut...!", "TimeOut...!", "Tempo esgotado...!"},
    {T::StatusRepeaterOff, "Repeater off", "Repeater off", "Repetidora desligada"},

    {T::LampTx, "TX", "TX", "TX"},
    {T::LampRx, "RX", "RX", "RX"},
    {T::LampFan, "Fan", "Fan", "Vent."},
    {T::LampTimeOut, "T.O.", "T.O.", "T.E."},
    {T::TipFan, "Click to enable/disable fan without using the timer...",
     "Click to enable/disable fan without using the timer...",
     "Clique para ligar/desligar o ventilador sem usar o temporizador..."},
    {T::TipTimeOutReset, "Click to reset TimeOut during an over...",
     "Click to reset TimeOut during an over...",
     "Clique para zerar o tempo esgotado durante um câmbio..."},

    {T::RowCwIdTime, "CW ID Time :", "CW ID Time :", "Tempo ID CW :"},
    {T::RowSpeechIdTime, "Speech ID Time :", "Speech ID Time :", "Tempo ID falada :"},
    {T::RowHangTime, "Hang Time :", "Hang Time :", "Tempo p/ desligar :"},
    {T::RowTimeOutTime, "Time Out Time :", "Time Out Time :", "Tempo limite :"},

    {T::PanelSpeechId, "Indicativo/fala ID :", "Call/speech ID :", "Indicativo/fala ID :"},
    {T::PanelCwIdText, "CW ID Texto :", "CW ID text :", "Texto da ID CW :"},
    {T::PanelCwIdInterval, "CW ID Intervalo :", "CW ID interval :", "Intervalo da ID :"},
    {T::UnitMinutes, "minutes", "minutes", "minutos"},
    {T::PanelSpeechInterval, "Intervalo da fala :", "Speech interval :", "Intervalo da fala :"},
    {T::PanelRfCourtesy, "RF Tom cortesia :", "RF courtesy tone :", "Tom cortesia RF :"},
    {T::UnitBreakTime, "mS - Break Time", "ms - break time", "ms - pausa"},
    {T::PanelIpCourtesy, "IP Tom cortesia :", "IP courtesy tone :", "Tom cortesia IP :"},
    {T::PanelKerchunker, "RF Kerchunker :", "RF kerchunker :", "Kerchunker RF :"},
    {T::UnitMilliseconds, "milisegundos", "milliseconds", "ms"},
    {T::PanelHangTime, "Tempo desligar :", "Hang time :", "Tempo desligar :"},
    {T::UnitSeconds, "segundos", "seconds", "segundos"},
    {T::PanelTimeOut, "Tempo sair :", "Time-out :", "Tempo limite :"},
    {T::UnitMinutos, "minutos", "minutes", "minutos"},
    {T::PanelTimeOutId, "Tempo sair ID :", "Time-out ID :", "ID tempo limite :"},
    {T::PanelDtmfDisable, "DTMF Desativado :", "DTMF disable :", "DTMF desativa :"},
    {T::PanelDtmfEnable, "DTMF Ativado :", "DTMF enable :", "DTMF ativa :"},

    {T::TipSpeechId, "Callsign and Speech ID (if repeater is clear)...",
     "Callsign and Speech ID (if repeater is clear)...",
     "Indicativo e ID falada (se a repetidora estiver livre)..."},
    {T::TipCwId,
     "Morse characters sent as a beacon.  Use a * to introduce a small gap, ie: QQ0QQ**H**JO01FS",
     "Morse characters sent as a beacon.  Use a * to introduce a small gap, ie: QQ0QQ**H**JO01FS",
     "Caracteres Morse enviados como baliza.  Use um * para uma pequena pausa, ex.: "
     "QQ0QQ**H**JO01FS"},
    {T::TipIdInterval, "How often the CW ID and Speech ID are played...",
     "How often the CW ID and Speech ID are played...",
     "Com que frequência a ID em CW e a ID falada são tocadas..."},
    {T::TipSpeechInterval, "How often the EchoLink SpeechID is played...",
     "How often the EchoLink SpeechID is played...",
     "Com que frequência a ID falada do EchoLink é tocada..."},
    {T::BoxFinalId, "Final ID :", "Final ID :", "ID final :"},
    {T::TipFinalId, "Click to enable CW ID upon Closedown...",
     "Click to enable CW ID upon Closedown...", "Clique para enviar a ID em CW ao desligar..."},
    {T::TipClosedownCw, "ID sent on Closedown...", "ID sent on Closedown...",
     "ID enviada ao desligar..."},
    {T::TipCourtesy, "CW ID to play at end of Radio Transmission (RF)...",
     "CW ID to play at end of Radio Transmission (RF)...",
     "ID em CW tocada ao fim de uma transmissão de rádio (RF)..."},
    {T::TipBreakTime, "Delay before Courtesy ID...", "Delay before Courtesy ID...",
     "Espera antes do tom de cortesia..."},
    {T::TipIpCourtesy, "CW ID to play at end of Internet Transmission (IP)...",
     "CW ID to play at end of Internet Transmission (IP)...",
     "ID em CW tocada ao fim de uma transmissão pela Internet (IP)..."},
    {T::TipKerchunk,
     "Minimum RF period to latch repeater and issue RF Courtesy Tone.  If less than this value, "
     "the logic will drop carrier...",
     "Minimum RF period to latch repeater and issue RF Courtesy Tone.  If less than this value, "
     "the logic will drop carrier...",
     "Tempo mínimo de RF para prender a repetidora e tocar o tom de cortesia RF.  Abaixo "
     "desse valor, a lógica descarta a portadora..."},
    {T::TipHangTime, "Hangtime between Courtesy Tone and Repeater closing...",
     "Hangtime between Courtesy Tone and Repeater closing...",
     "Tempo entre o tom de cortesia e o desligamento da repetidora..."},
    {T::TipTimeOut,
     "Maximum permitted transmission time - PTT will drop when Timeout is reached...",
     "Maximum permitted transmission time - PTT will drop when Timeout is reached...",
     "Tempo máximo de transmissão permitido - o PTT cai quando o tempo se esgota..."},
    {T::TipTimeOutId, "ID sent upon Timeout...", "ID sent upon Timeout...",
     "ID enviada quando o tempo se esgota..."},
    {T::BoxCtcssDecode, "CTCSS Decode :", "CTCSS decode :", "CTCSS decodif. :"},
    {T::TipCtcssDecode,
     "Click to enable CTCSS decoding - audio may need to be pulled direct from RX "
     "Discriminator!",
     "Click to enable CTCSS decoding - audio may need to be pulled direct from RX "
     "Discriminator!",
     "Clique para ativar a decodificação CTCSS - o áudio pode precisar vir direto do "
     "discriminador do RX!"},
    {T::TipDecodeTone, "CTCSS Frequency to decode...", "CTCSS Frequency to decode...",
     "Frequência CTCSS a decodificar..."},
    {T::LabelExperimental, "< experimental!", "< experimental!", "< experimental!"},
    {T::BoxCtcssEncode, "CTCSS Encode :", "CTCSS encode :", "CTCSS codif. :"},
    {T::TipCtcssEncode,
     "Click to enable CTCSS encoding - audio may need to be injected directly into transmitter "
     "(not the mic input!)...",
     "Click to enable CTCSS encoding - audio may need to be injected directly into transmitter "
     "(not the mic input!)...",
     "Clique para ativar a codificação CTCSS - o áudio pode precisar ser injetado direto no "
     "transmissor (não na entrada do microfone!)..."},
    {T::TipEncodeTone, "CTCSS Frequency to encode...", "CTCSS Frequency to encode...",
     "Frequência CTCSS a codificar..."},
    {T::BoxCtcssActivity, "CTCSS somente durante atividade", "CTCSS only during activity",
     "CTCSS somente durante atividade"},
    {T::TipCtcssActivity,
     "Click to enable CTCSS only when there is activity on the repeater.  Idents will not "
     "transmit CTCSS unless the repeater starts passing voice traffic...",
     "Click to enable CTCSS only when there is activity on the repeater.  Idents will not "
     "transmit CTCSS unless the repeater starts passing voice traffic...",
     "Clique para ativar o CTCSS só quando houver atividade na repetidora.  As identificações "
     "não transmitem CTCSS a menos que a repetidora comece a passar voz..."},
    {T::BoxToneBurst, "1750Hz Acesso Tonebust ", "1750 Hz tone-burst access",
     "Acesso por tom de 1750 Hz"},
    {T::TipToneBurst, "Click to enable 1750Hz Toneburst access from cold...",
     "Click to enable 1750Hz Toneburst access from cold...",
     "Clique para permitir o acesso por tom de 1750 Hz com a repetidora em repouso..."},
    {T::BoxQuietCwId, "CW ID is  -15dB durante conversa completamente",
     "CW ID at -15 dB while the repeater is in use", "ID em CW a -15 dB durante a conversa"},
    {T::TipQuietCwId,
     "CW ID is reduced in volume when there the system is in use.  This allows the CW ID to "
     "play underneath the user's voice.",
     "CW ID is reduced in volume when there the system is in use.  This allows the CW ID to "
     "play underneath the user's voice.",
     "A ID em CW tem o volume reduzido quando o sistema está em uso.  Assim a ID em CW toca "
     "por baixo da voz do usuário."},
    {T::BoxIpNoTimeOut, "IP  tráfego não para fora", "Internet traffic never times out",
     "Tráfego da Internet sem tempo limite"},
    {T::TipIpNoTimeOut, "When ticked, traffic from the Internet will not Time Out...",
     "When ticked, traffic from the Internet will not Time Out...",
     "Marcado, o tráfego da Internet não tem tempo limite..."},
    {T::TipDtmfDisable, "Code to disable the repeater.", "Code to disable the repeater.",
     "Código para desativar a repetidora."},
    {T::TipDtmfEnable, "Code to enable the repeater.", "Code to enable the repeater.",
     "Código para ativar a repetidora."},
    {T::ButtonSave, "Grava Configuração", "Save settings", "Gravar configuração"},
    {T::InForceMark, "in force: ", "in force: ", "em vigor: "},
    {T::InForceTip, "The text beside is not taken as typed: this value is in force.",
     "The text beside is not taken as typed: this value is in force.",
     "O texto ao lado não vale como digitado: este é o valor em vigor."},

    {T::MenuExit, "S&ai", "E&xit", "S&air"},
    {T::MenuEnabled, "Ativado", "Enabled", "Ativado"},
    {T::MenuSendCwId, "CW ID", "CW ID", "ID CW"},
    {T::MenuSendSpeechId, "Fala ID", "Speech ID", "ID falada"},
    {T::MenuSettings, "Configuração", "Settings", "Configuração"},
    {T::MenuAbout, "Sobre", "About", "Sobre"},
    {T::ProgramName, "Relaydeck", "Relaydeck", "Relaydeck"},
    {T::MenuActivity, "Atividade", "Activity", "Atividade"},
    {T::MenuUnattended, "Sem operador", "Unattended", "Sem operador"},
    {T::MenuWebServer, "Servidor web", "Web server", "Servidor web"},
    {T::MenuRepeaterOff, "Desligar repetidora", "Switch the repeater off", "Desligar repetidora"},
    {T::MenuRepeaterOn, "Ligar repetidora", "Switch the repeater on", "Ligar repetidora"},
    {T::MenuLanguageAsDesigned, "Idioma: como projetado", "Language: as designed",
     "Idioma: como projetado"},
    {T::MenuLanguageEnglish, "Idioma: English", "Language: English", "Idioma: English"},
    {T::MenuLanguagePortuguese, "Idioma: Português (Brasil)", "Language: Português (Brasil)",
     "Idioma: Português (Brasil)"},

    {T::CwRefusedTitle, "Cannot transmit CW ID over a local RF user",
     "Cannot transmit CW ID over a local RF user",
     "Não é possível transmitir a ID em CW sobre um usuário local de RF"},
    {T::CwRefusedPrompt, "Sorry, the frequency appears to be in use...",
     "Sorry, the frequency appears to be in use...",
     "Desculpe, a frequência parece estar em uso..."},
    {T::ExitTitle, "Exit Program", "Exit Program", "Sair do programa"},
    {T::ExitPrompt, "Quit Relaydeck - Are You Sure ?", "Quit Relaydeck - Are You Sure ?",
     "Sair do Relaydeck - Tem certeza ?"},
    {T::CtcssDecodeTitle, "CTCSS Decode is still experimental!",
     "CTCSS Decode is still experimental!", "A decodificação CTCSS ainda é experimental!"},
    {T::CtcssDecodePrompt,
     "Please note that the CTCSS features on Relaydeck are still experimental and may not be "
     "100% reliable.  For correct CTCSS decoding, you will need to ensure that your radio does "
     "not filter-out the CTCSS tone at the speaker output (most, however, do).",
     "Please note that the CTCSS features on Relaydeck are still experimental and may not be "
     "100% reliable.  For correct CTCSS decoding, you will need to ensure that your radio does "
     "not filter-out the CTCSS tone at the speaker output (most, however, do).",
     "Note que os recursos de CTCSS do Relaydeck ainda são experimentais e podem não ser 100% "
     "confiáveis.  Para decodificar o CTCSS corretamente, o seu rádio não pode filtrar o tom "
     "CTCSS na saída do alto-falante (a maioria, no entanto, filtra)."},
    {T::CtcssEncodeTitle, "CTCSS Encode is still experimental!",
     "CTCSS Encode is still experimental!", "A codificação CTCSS ainda é experimental!"},
    {T::CtcssEncodePrompt,
     "Please note that the CTCSS features on Relaydeck are still experimental and may not be "
     "100% reliable.  For correct CTCSS encoding, you should inject the TX audio past the "
     "mic-amp and filtering stages.",
     "Please note that the CTCSS features on Relaydeck are still experimental and may not be "
     "100% reliable.  For correct CTCSS encoding, you should inject the TX audio past the "
     "mic-amp and filtering stages.",
     "Note que os recursos de CTCSS do Relaydeck ainda são experimentais e podem não ser 100% "
     "confiáveis.  Para codificar o CTCSS corretamente, injete o áudio de TX depois do "
     "pré-amplificador do microfone e dos filtros."},
    {T::LinkFailed, "EchoLink failed: ", "EchoLink failed: ", "Falha do EchoLink: "},
    {T::ProgramFailed, "Relaydeck failed: ", "Relaydeck failed: ", "Falha do Relaydeck: "},
    {T::CannotGoOn, " Relaydeck cannot go on and will close now.",
     " Relaydeck cannot go on and will close now.",
     " O Relaydeck não pode continuar e será fechado agora."},
    {T::OutOfMemory, "Out of memory.", "Out of memory.", "Memória esgotada."},
    {T::SettingsNotWritten, "The settings could not be written to ",
     "The settings could not be written to ", "Não foi possível gravar a configuração em "},
    {T::UnattendedOffQuestion,
     "Unattended running is off.\n\nTurn it on? From its next start Relaydeck runs under its "
     "guard, which releases the transmitter and starts Relaydeck again when it ends abnormally, "
     "and waits for EchoLink when EchoLink closes.",
     "Unattended running is off.\n\nTurn it on? From its next start Relaydeck runs under its "
     "guard, which releases the transmitter and starts Relaydeck again when it ends abnormally, "
     "and waits for EchoLink when EchoLink closes.",
     "O funcionamento sem operador está desligado.\n\nLigá-lo? A partir do próximo início o "
     "Relaydeck roda sob a sua guarda, que libera o transmissor e inicia o Relaydeck de novo "
     "quando ele termina de forma anormal, e espera pelo EchoLink quando o EchoLink fecha."},
    {T::UnattendedOnQuestion,
     "Unattended running is on.\n\nTurn it off? From its next start Relaydeck runs without "
     "its guard.",
     "Unattended running is on.\n\nTurn it off? From its next start Relaydeck runs without "
     "its guard.",
     "O funcionamento sem operador está ligado.\n\nDesligá-lo? A partir do próximo início o "
     "Relaydeck roda sem a sua guarda."},

    {T::SplashPlatform, "EchoLink Repetidora Adicional", "EchoLink repeater add-on",
     "Repetidora adicional EchoLink"},
    {T::SplashDate, "27 de novembro de 2008", "November 27, 2008", "27 de novembro de 2008"},
    {T::SplashAuthor, "The Relaydeck authors", "The Relaydeck authors", "The Relaydeck authors"},
    {T::SplashStartup, "Inicia automaticamente", "Start automatically", "Iniciar automaticamente"},
    {T::SplashWait, "Por favor espere alguns segundos", "Please wait a few seconds",
     "Por favor, aguarde alguns segundos"},
    {T::SplashLaunch, "Ativa Repetidora", "Start Repeater", "Ativar repetidora"},
    {T::SplashFinish, "Sai da Pontevox", "Exit", "Sair"},

    {T::AboutTitle, "About ", "About ", "Sobre o "},
    {T::AboutFor, " for ", " for ", " para "},
    {T::VersionWord, "Version ", "Version ", "Versão "},
    // The credits stand where the description's two addresses stand; the runs of blanks make
    // the word wrapping put each of them on a line of its own.
    {T::AboutDescription,
     "Relaydeck - Um simples repetidor adicional para EchoLink.  Contém tom de cortesia, tempo "
     "de desconecção, ID identificadores e tempo de desligamento -" RELAYDECK_BLANKS10
         RELAYDECK_BLANKS10 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10
             RELAYDECK_BLANKS10 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10
                 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10 RELAYDECK_BLANKS10
                     RELAYDECK_BLANKS10
     "   Programa: The Relaydeck authors" RELAYDECK_BLANKS10 RELAYDECK_BLANKS10
     " Tradução: The Relaydeck authors   ",
     "Relaydeck - A simple repeater add-on for EchoLink.  It has a courtesy tone, time-out, "
     "identifiers and a closedown time -" RELAYDECK_BREAK
     "Program: The Relaydeck authors" RELAYDECK_BREAK "Translation: The Relaydeck authors",
     "Relaydeck - Uma simples repetidora adicional para EchoLink.  Tem tom de cortesia, tempo "
     "limite, identificação e tempo de desligamento -" RELAYDECK_BREAK
     "Programa: The Relaydeck authors" RELAYDECK_BREAK "Tradução: The Relaydeck authors"},
    {T::AboutClose, "Sai", "Close", "Fechar"},
    {T::AboutTranslator, "Tradução e adaptação: The Relaydeck authors",
     "Translation and adaptation: The Relaydeck authors",
     "Tradução e adaptação: The Relaydeck authors"},

    {T::ActivityLocalOvers, "Local overs:", "Local overs:", "Câmbios locais:"},
    {T::ActivityInternetOvers, "Internet overs:", "Internet overs:", "Câmbios da Internet:"},
    {T::ActivityTransmitterTime, "Transmitter time:", "Transmitter time:", "Tempo de transmissão:"},
    {T::ActivityLongestOver, "Longest over:", "Longest over:", "Câmbio mais longo:"},
    {T::ActivityTimeOuts, "Time-outs:", "Time-outs:", "Tempos esgotados:"},
    {T::ActivityIdentifications, "Identifications:", "Identifications:", "Identificações:"},
    {T::ActivityColumnTime, "Time", "Time", "Hora"},
    {T::ActivityColumnEvent, "Event", "Event", "Evento"},
    {T::ActivityColumnDuration, "Duration", "Duration", "Duração"},
    {T::ActivityColumnDetail, "Detail", "Detail", "Detalhe"},
    {T::LaneCarrier, "Carrier", "Carrier", "Portadora"},
    {T::LaneInternet, "Internet", "Internet", "Internet"},
    {T::LaneTransmitter, "Transmitter", "Transmitter", "Transmissor"},
    {T::ActivityLogFolder, "Log files in ", "Log files in ", "Arquivos de registro em "},
    {T::ActivityLogNotWritten, "The activity log could not be written to ",
     "The activity log could not be written to ",
     "Não foi possível gravar o registro de atividade em "},
    {T::TitleNotAnswering, "EchoLink not answering for ", "EchoLink not answering for ",
     "EchoLink sem resposta há "},

    {T::WebCountSpeechId, "Speech ID", "Speech ID", "ID falada"},
    {T::WebCountHangTime, "Hang time", "Hang time", "Tempo p/ desligar"},
    {T::WebCountTimeOut, "Time-out", "Time-out", "Tempo limite"},
    {T::WebTimedOut, "Timed out", "Timed out", "Tempo esgotado"},
    {T::WebLinkAnswers, "EchoLink answers", "EchoLink answers", "O EchoLink responde"},
    {T::WebLinkSilent, "EchoLink does not answer for {1} s", "EchoLink does not answer for {1} s",
     "O EchoLink não responde há {1} s"},
    {T::WebNoNews, "No news from the station", "No news from the station",
     "Sem notícias da estação"},
    {T::WebPassword, "Password", "Password", "Senha"},
    {T::WebLogIn, "Log in", "Log in", "Entrar"},
    {T::WebLogOut, "Log out", "Log out", "Sair"},
    {T::WebResetTimeOut, "Reset T.O.", "Reset T.O.", "Zerar T.E."},
    {T::WebFanOn, "Fan on", "Fan on", "Ligar ventilador"},
    {T::WebFanOff, "Fan off", "Fan off", "Desligar ventilador"},
    {T::WebRepeaterOn, "Repeater on", "Repeater on", "Repetidora ligada"},
    {T::WebActivity, "Activity", "Activity", "Atividade"},
    {T::WebMetrics, "Metrics", "Metrics", "Métricas"},
    {T::WebPlainHttp,
     "This page travels as plain HTTP: use it on a LAN, or from afar only through a VPN or an "
     "SSH tunnel, e.g.",
     "This page travels as plain HTTP: use it on a LAN, or from afar only through a VPN or an "
     "SSH tunnel, e.g.",
     "Esta página trafega em HTTP simples: use-a numa rede local ou, de longe, só por uma VPN "
     "ou um túnel SSH, por exemplo"},
    {T::WebAndThen, "and then", "and then", "e depois"},
    {T::WebHere, "here.", "here.", "aqui."},
    {T::WebNotRunning, "Not running", "Not running", "Fora de funcionamento"},
    {T::WebUptime, "up {1}", "up {1}", "no ar há {1}"},
    {T::WebSent, "{1}: sent", "{1}: sent", "{1}: enviado"},

    {T::WebActivityTitle, "Relaydeck activity", "Relaydeck activity", "Atividade do Relaydeck"},
    {T::WebStation, "Station", "Station", "Estação"},
    {T::WebPlainHttpShort, "Plain HTTP: a LAN, a VPN or an SSH tunnel only",
     "Plain HTTP: a LAN, a VPN or an SSH tunnel only",
     "HTTP simples: só numa rede local, por uma VPN ou por um túnel SSH"},
    {T::WebActivityOf, "Activity {1}", "Activity {1}", "Atividade {1}"},
    {T::WebTimelineOf, "Timeline of {1}", "Timeline of {1}", "Linha do tempo de {1}"},
    {T::WebDownload, "Download {1}", "Download {1}", "Baixar {1}"},
    {T::WebNoSuchDay, "No activity kept for that day.", "No activity kept for that day.",
     "Nenhuma atividade guardada para esse dia."},

    {T::WebWrongPassword, "Wrong password.", "Wrong password.", "Senha errada."},
    {T::WebLockedOut, "Too many wrong passwords: try again later.",
     "Too many wrong passwords: try again later.",
     "Senhas erradas demais: tente de novo mais tarde."},
    {T::WebNoPassword,
     "No password is set: set one in the program's web server settings to control the station.",
     "No password is set: set one in the program's web server settings to control the station.",
     "Nenhuma senha definida: defina uma na configuração do servidor web do programa para "
     "controlar a estação."},
    {T::WebNotAllowed, "Log in first (or reload the page).", "Log in first (or reload the page).",
     "Entre primeiro (ou recarregue a página)."},
    {T::WebUnknownCommand, "No such command.", "No such command.", "Comando desconhecido."},
    {T::WebNotFound, "Not found.", "Not found.", "Não encontrado."},
    {T::WebBadRequest, "Bad request.", "Bad request.", "Pedido inválido."},
    {T::WebRefusedPort, "The port must be a number from 1 to 65535.",
     "The port must be a number from 1 to 65535.", "A porta deve ser um número de 1 a 65535."},
    {T::WebRefusedAddress, "The address is empty.", "The address is empty.",
     "O endereço está vazio."},
    {T::WebRefusedNoPassword,
     "The web server listens on an address other than 127.0.0.1 only with a password set: set "
     "a password, or use 127.0.0.1.",
     "The web server listens on an address other than 127.0.0.1 only with a password set: set "
     "a password, or use 127.0.0.1.",
     "O servidor web só escuta num endereço diferente de 127.0.0.1 com uma senha definida: "
     "defina uma senha ou use 127.0.0.1."},
    {T::WebCannotListen, "The web server cannot listen on {1}.",
     "The web server cannot listen on {1}.", "O servidor web não consegue escutar em {1}."},

    {T::WebDialogTitle, "Web server", "Web server", "Servidor web"},
    {T::WebDialogEnabled, "Serve the status page", "Serve the status page",
     "Servir a página de estado"},
    {T::WebDialogAddress, "Address:", "Address:", "Endereço:"},
    {T::WebDialogPort, "Port:", "Port:", "Porta:"},
    {T::WebDialogPassword, "New password:", "New password:", "Nova senha:"},
    {T::WebDialogClearPassword, "Remove the password", "Remove the password", "Remover a senha"},
    {T::WebDialogHint,
     "Plain HTTP: keep it on a LAN, or reach it through a VPN or an SSH tunnel (ssh -L "
     "8073:127.0.0.1:8073 you@station-pc).",
     "Plain HTTP: keep it on a LAN, or reach it through a VPN or an SSH tunnel (ssh -L "
     "8073:127.0.0.1:8073 you@station-pc).",
     "HTTP simples: mantenha-o numa rede local, ou acesse-o por uma VPN ou um túnel SSH (ssh -L "
     "8073:127.0.0.1:8073 voce@pc-da-estacao)."},
    {T::WebDialogRunning, "Serving on http://{1}/", "Serving on http://{1}/",
     "Servindo em http://{1}/"},
    {T::WebDialogStopped, "The web server is off.", "The web server is off.",
     "O servidor web está desligado."},
    {T::ButtonCancel, "Cancel", "Cancel", "Cancelar"},

    {T::GuardWaitingFirst, "waiting for EchoLink to run before starting Relaydeck",
     "waiting for EchoLink to run before starting Relaydeck",
     "aguardando o EchoLink rodar antes de iniciar o Relaydeck"},
    {T::GuardStarting, "starting Relaydeck", "starting Relaydeck", "iniciando o Relaydeck"},
    {T::GuardCannotStart, "The guard could not start Relaydeck: {1}",
     "The guard could not start Relaydeck: {1}", "A guarda não conseguiu iniciar o Relaydeck: {1}"},
    {T::GuardEndedNormally, "Relaydeck ended normally; the guard ends too",
     "Relaydeck ended normally; the guard ends too",
     "o Relaydeck terminou normalmente; a guarda também termina"},
    {T::GuardLinkClosed, "EchoLink closed: waiting for it to run again",
     "EchoLink closed: waiting for it to run again",
     "o EchoLink fechou: aguardando que ele rode de novo"},
    {T::GuardStartingAgain, "EchoLink runs again: starting Relaydeck",
     "EchoLink runs again: starting Relaydeck", "o EchoLink roda de novo: iniciando o Relaydeck"},
    {T::GuardReleased, "released by the guard", "released by the guard", "liberado pela guarda"},
    {T::GuardNotReleased, "the transmitter could not be released: {1}",
     "the transmitter could not be released: {1}", "não foi possível liberar o transmissor: {1}"},
    {T::GuardEndedAbnormally, "Relaydeck ended abnormally (exit status {1})",
     "Relaydeck ended abnormally (exit status {1})",
     "o Relaydeck terminou de forma anormal (código de saída {1})"},
    {T::GuardUnattendedOff, "unattended running is off; the guard ends",
     "unattended running is off; the guard ends",
     "o funcionamento sem operador está desligado; a guarda termina"},
    {T::GuardGivesUp,
     "Relaydeck ended abnormally {1} times within an hour; the guard stops restarting it.",
     "Relaydeck ended abnormally {1} times within an hour; the guard stops restarting it.",
     "O Relaydeck terminou de forma anormal {1} vezes em uma hora; a guarda deixa de "
     "reiniciá-lo."},
    {T::GuardLinkNotRunning, "EchoLink is not running: waiting for it before starting Relaydeck",
     "EchoLink is not running: waiting for it before starting Relaydeck",
     "o EchoLink não está rodando: aguardando-o antes de iniciar o Relaydeck"},
    {T::GuardRestarting, "restarting Relaydeck ({1} of {2} restarts within the hour)",
     "restarting Relaydeck ({1} of {2} restarts within the hour)",
     "reiniciando o Relaydeck ({1} de {2} reinícios na hora)"},
    {T::GuardLinkUnreachable, "EchoLink could not be reached ({1}).",
     "EchoLink could not be reached ({1}).", "Não foi possível alcançar o EchoLink ({1})."},
    {T::GuardPttFailed, "SetPTT(False) failed ({1}).", "SetPTT(False) failed ({1}).",
     "SetPTT(False) falhou ({1})."},

    {T::EventProgramStarted, "program-started", "Program started", "Programa iniciado"},
    {T::EventProgramEnded, "program-ended", "Program ended", "Programa encerrado"},
    {T::EventLocalOverBegun, "local-over-begun", "Local over begun", "Câmbio local começou"},
    {T::EventLocalOverEnded, "local-over-ended", "Local over ended", "Câmbio local terminou"},
    {T::EventInternetOverBegun, "internet-over-begun", "Internet over begun",
     "Câmbio da Internet começou"},
    {T::EventInternetOverEnded, "internet-over-ended", "Internet over ended",
     "Câmbio da Internet terminou"},
    {T::EventTransmitterOn, "transmitter-on", "Transmitter on", "Transmissor ligado"},
    {T::EventTransmitterOff, "transmitter-off", "Transmitter off", "Transmissor desligado"},
    {T::EventCourtesy, "courtesy", "Courtesy tone", "Tom de cortesia"},
    {T::EventTimeOut, "time-out", "Time-out", "Tempo esgotado"},
    {T::EventRecovery, "recovery", "Recovery", "Recuperação"},
    {T::EventIdPeriodicMorse, "id-periodic-morse", "Periodic CW ID", "ID CW periódica"},
    {T::EventIdSpeech, "id-speech", "Speech ID", "ID falada"},
    {T::EventIdManualMorse, "id-manual-morse", "CW ID by hand", "ID CW manual"},
    {T::EventIdManualSpeech, "id-manual-speech", "Speech ID by hand", "ID falada manual"},
    {T::EventIdClosedown, "id-closedown", "Closedown ID", "ID de desligamento"},
    {T::EventFanOn, "fan-on", "Fan on", "Ventilador ligado"},
    {T::EventFanOff, "fan-off", "Fan off", "Ventilador desligado"},
    {T::EventLinkFailure, "link-failure", "EchoLink failure", "Falha do EchoLink"},
    {T::EventLinkNotAnswering, "link-not-answering", "EchoLink not answering",
     "EchoLink sem resposta"},
    {T::EventLinkIncomplete, "link-incomplete", "EchoLink call incomplete",
     "Chamada ao EchoLink incompleta"},
    {T::EventGuard, "guard", "Guard", "Guarda"},
    {T::EventRepeaterOff, "repeater-off", "Repeater off", "Repetidora desligada"},
    {T::EventRepeaterOn, "repeater-on", "Repeater on", "Repetidora ligada"},
    {T::EventControl, "control", "Operator's action", "Ação do operador"},
    {T::EventSettingsSaved, "settings-saved", "Settings saved", "Configuração gravada"},
};

#undef RELAYDECK_BLANKS10
#undef RELAYDECK_BREAK

constexpr bool rowsInIdOrder() {
    if (std::size(kRows) != static_cast<std::size_t>(TextId::Count)) return false;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        if (static_cast<std::size_t>(kRows[i].id) != i) return false;
    }
    return true;
}
static_assert(rowsInIdOrder(), "one row per text id, in the order of the ids");
static_assert(static_cast<int>(TextId::Count) - static_cast<int>(TextId::EventProgramStarted) ==
                  static_cast<int>(ActivityEvent::Count),
              "one shown name per activity event, in their order, last in the table");

constexpr const char* kLanguageValues[] = {"as-designed", "en", "pt-BR"};
static_assert(std::size(kLanguageValues) == static_cast<std::size_t>(Language::Count));

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

const char* languageSettingValue(Language language) {
    const auto i = static_cast<std::size_t>(language);
    return i < std::size(kLanguageValues) ? kLanguageValues[i] : kLanguageValues[0];
}

std::optional<Language> languageFromSetting(std::string_view value) {
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    for (std::size_t i = 0; i < std::size(kLanguageValues); ++i) {
        if (sameLetters(value, kLanguageValues[i])) return static_cast<Language>(i);
    }
    return std::nullopt;
}

const char* languageTag(Language language) {
    return language == Language::Portuguese ? "pt-BR" : "en";
}

const char* operatorText(TextId id, Language language) {
    const auto i = static_cast<std::size_t>(id);
    if (i >= std::size(kRows)) return "";
    const Row& row = kRows[i];
    switch (language) {
        case Language::English:
            return row.english;
        case Language::Portuguese:
            return row.portuguese;
        case Language::AsDesigned:
        case Language::Count:
            break;
    }
    return row.designed;
}

std::string operatorText(TextId id, Language language,
                         std::initializer_list<std::string_view> values) {
    // One pass over the text, so that a value is never read for marks of its own.
    const std::string_view text = operatorText(id, language);
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 2 < text.size() && text[i] == '{' && text[i + 2] == '}'
                                  ? static_cast<std::size_t>(text[i + 1] - '0')
                                  : 0;
        if (n >= 1 && n <= values.size()) {
            filled += values.begin()[n - 1];
            i += 2;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::optional<TextId> findDesignedText(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (const Row& row : kRows) {
        if (text == row.designed) return row.id;
    }
    return std::nullopt;
}

TextId activityEventText(ActivityEvent event) {
    return static_cast<TextId>(static_cast<int>(TextId::EventProgramStarted) +
                               static_cast<int>(event));
}

void OperatorTexts::setLanguage(Language language) {
    if (language == language_ || language >= Language::Count) return;
    language_ = language;
    // A listener may stop listening (or start) while it is told.
    for (const auto& listener : std::vector(listeners_)) (*listener)();
}

std::string shownText(std::string_view text, Language language) {
    if (language == Language::AsDesigned) return std::string(text);
    if (const auto id = findDesignedText(text)) return operatorText(*id, language);
    for (const Row& row : kRows) {
        const std::string_view beginning = row.designed;
        if (beginning.ends_with(' ') && text.size() > beginning.size() &&
            text.starts_with(beginning)) {
            return operatorText(row.id, language) + std::string(text.substr(beginning.size()));
        }
    }
    return std::string(text);
}

std::string OperatorTexts::shown(std::string_view text) const {
    return shownText(text, language_);
}

std::unique_ptr<OperatorTexts::Listening> OperatorTexts::listen(
    std::function<void()> listener) const {
    auto shared = std::make_shared<std::function<void()>>(std::move(listener));
    listeners_.push_back(shared);
    return std::make_unique<Listening>(*this, std::move(shared));
}

OperatorTexts::Listening::~Listening() {
    auto& all = texts_->listeners_;
    all.erase(std::remove(all.begin(), all.end(), listener_), all.end());
}

}  // namespace relaydeck
