#pragma once

// Shows the splash screen for about two seconds, keeping window events flowing, then closes it.
// Returns once the splash is gone.
void showSplashScreen();
