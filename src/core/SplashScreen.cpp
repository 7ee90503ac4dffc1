#include "SplashScreen.h"

void showSplashScreen() {}
