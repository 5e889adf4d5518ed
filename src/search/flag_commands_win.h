#pragma once
// Rating, adult flag and favourites changed from the item list.

namespace vel {

struct AppState;

// Registers 1178 (adult) and 1184..1193 (favourites 0..9).
void RegisterFlagCommands();

// Sets the rating of a list row (1-based) to value (0..50): the cell first,
// then the library; on failure the message and the cell put back.
void SetRatingOfRow(AppState& app, int row, int value);

void ToggleAdult(AppState& app);
void ToggleFavourite(AppState& app, int digit);

}  // namespace vel
