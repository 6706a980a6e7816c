#pragma once
// The names of the program's own settings in the user defaults, each written
// once. The texts are what the settings file holds: changing one forgets
// what users have kept under it. A misspelt name would read 0 without a
// word, so the code uses these constants only, and scripts/lint refuses a
// "Tolvek_ literal anywhere else in src/.
namespace settingskeys {

// The plan position.
inline constexpr const char* kLevel = "Tolvek_Level";  // 1 to 3; 0 = not yet placed
inline constexpr const char* kDay = "Tolvek_Day";      // 1 to 3
inline constexpr const char* kWeek = "Tolvek_Week";    // 1 to 6; 7 and above = plan complete
inline constexpr const char* kTest = "Tolvek_Test";    // an exhaustion test is due on day 1 of the week

// The position inside the day.
inline constexpr const char* kRepNum = "Tolvek_RepNum";        // sets done so far
inline constexpr const char* kRepToShow = "Tolvek_RepToShow";  // the round shown
inline constexpr const char* kFirstRep = "Tolvek_FirstRep";    // the first round of a doubled set is done
// The completed days not yet in the log, oldest first, each with the moment
// it was finished: a list (one dictionary, the day alone, from an older
// version).
inline constexpr const char* kUnsavedDay = "Tolvek_UnsavedDay";

// The options.
inline constexpr const char* kAllowShake = "Tolvek_AllowShake";
inline constexpr const char* kUserRest = "Tolvek_UserRest";
inline constexpr const char* kUserRestValue = "Tolvek_UserRestValue";
inline constexpr const char* kShowAlerts = "Tolvek_ShowAlerts";  // ask whether to resume an unfinished day
inline constexpr const char* kShowReminders = "Tolvek_ShowReminders";
inline constexpr const char* kAnimationOn = "Tolvek_AnimationOn";
inline constexpr const char* kGraphType = "Tolvek_GraphType";  // YES bar, NO line
inline constexpr const char* kTwitterUpdates = "Tolvek_TwitterUpdates";
inline constexpr const char* kTwitterUserName = "Tolvek_TwitterUserName";
inline constexpr const char* kPostToFaceBook = "Tolvek_PostToFaceBook";
// The user turned off the question about a rest shorter than ten seconds.
inline constexpr const char* kTurnUserRestNagOff = "TurnUserRestNagOff";

// Start-up and the background.
// The plan database was copied from the bundle (after an update too).
inline constexpr const char* kReplacedDBFromUpdate = "Tolvek_ReplacedDBFromUpdate";
// When the program left for the background during a rest.
inline constexpr const char* kBackgroundTime = "backgroundTime";

}  // namespace settingskeys
