// Screen size, audio, volumes and game speed.
#pragma once

int settingsMenu();
