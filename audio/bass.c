#include "bass.h"

typedef int marrowby_audio_placeholder;
