// The shared demo data folder of the screen tests.
#include "ScreenFixture.h"

testsupport::TempDir* ScreenFixture::sData = nullptr;
