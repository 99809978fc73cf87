#ifndef MARROWBY_AUDIO_BASS_H
#define MARROWBY_AUDIO_BASS_H

/* Placeholder: the audio layer's seven calls are declared here. */

#endif
