#pragma once
// The string ids of the texts the program shows: the keys "str<id>" of the
// language file. The numbers are fixed, since installers write the files.

inline constexpr unsigned kFinishTextId = 52;  // the wizard's Finish button

// Start-up and its end: the confirmation, the registration error, the restart question.
inline constexpr unsigned kConfirmCaptionId = 71;
inline constexpr unsigned kConfirmTextId = 72;
inline constexpr unsigned kRegistrationErrorTextId = 89;
inline constexpr unsigned kRegistrationErrorCaptionId = 90;
inline constexpr unsigned kRestartCaptionId = 96;
inline constexpr unsigned kRestartTextId = 97;

// The wizard page.
inline constexpr unsigned kPageHeadingId = 73;
inline constexpr unsigned kPageDescriptionId = 74;
inline constexpr unsigned kPageProgressTextId = 75;
inline constexpr unsigned kPageSuccessId = 76;

// The system-file prompt.
inline constexpr unsigned kPromptYesId = 100;
inline constexpr unsigned kPromptYesToAllId = 101;
inline constexpr unsigned kPromptNoId = 102;
inline constexpr unsigned kPromptNoToAllId = 103;
inline constexpr unsigned kPromptQuestionId = 104;
