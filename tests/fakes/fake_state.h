// Hooks between the doubles' own files; tests use fake_platform.h instead.
#pragma once

namespace fake {

// QueryWow64Process's answer, counted, from the registry double's WOW64 setting.
bool AnswerWow64Query(bool& isWow64);
void ResetSystem();

}  // namespace fake
