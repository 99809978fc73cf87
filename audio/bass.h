#ifndef MARROWBY_AUDIO_BASS_H
#define MARROWBY_AUDIO_BASS_H

/*
 * Marrowby's audio layer: seven calls that play one sound file on the
 * default output device.
 *
 * Files are decoded by libsndfile (WAV, MP3, FLAC, Ogg and whatever else the
 * installed build reads) and played through SDL2's audio output on SDL's own
 * audio thread, at the file's own sample rate and channel count, so every
 * frame of the file reaches the device unchanged as 16-bit samples.
 *
 * Life cycle: BASS_Init, then at most one stream at a time
 * (BASS_StreamCreateFile, BASS_ChannelPlay, BASS_ChannelIsActive,
 * BASS_StreamFree), then BASS_Free, which releases everything; a later
 * BASS_Init starts afresh.
 *
 * Threads: every call may be made from any thread; calls are serialised by a
 * lock of the layer's own. The error code is kept per calling thread.
 *
 * Results: calls with a 32-bit "boolean" result return 1 on success and 0 on
 * failure. Every call except BASS_ErrorGetCode sets the calling thread's error
 * code: MB_AUDIO_OK after success, one of the codes below after a failure.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum
{
    MB_AUDIO_OK = 0,                      /* no error */
    MB_AUDIO_ERR_NOT_INITIALISED = 1,     /* BASS_Init has not succeeded, or BASS_Free has been called since */
    MB_AUDIO_ERR_ALREADY_INITIALISED = 2, /* BASS_Init while the layer is initialised */
    MB_AUDIO_ERR_BAD_DEVICE = 3,          /* a device number other than 1 or -1 */
    MB_AUDIO_ERR_BAD_ARGUMENT = 4,        /* a rate out of range, unknown init flags, a null file name */
    MB_AUDIO_ERR_UNSUPPORTED = 5,         /* a memory stream, a start offset or length, stream flags */
    MB_AUDIO_ERR_NO_DRIVER = 6,           /* the sound system could not be started (no usable audio driver) */
    MB_AUDIO_ERR_NO_OUTPUT = 7,           /* the output device could not be opened (no sound server, no card) */
    MB_AUDIO_ERR_FILE_OPEN = 8,           /* the file is missing, unreadable or not a regular file */
    MB_AUDIO_ERR_FILE_FORMAT = 9,         /* the file is empty, corrupt or in a format that can't be decoded */
    MB_AUDIO_ERR_BAD_HANDLE = 10,         /* handle 0, a handle never issued, or one already freed */
    MB_AUDIO_ERR_BUSY = 11                /* a stream exists already: free it first */
};

/* Results of BASS_ChannelIsActive. */
enum
{
    MB_AUDIO_INACTIVE = 0, /* not started yet, played to the end, or not a valid handle */
    MB_AUDIO_PLAYING = 1   /* samples are still on their way to the device */
};

/* Sample rates accepted by BASS_Init and read from files. */
enum
{
    MB_AUDIO_MIN_RATE = 1000,
    MB_AUDIO_MAX_RATE = 384000
};

/*
 * Starts the sound system and opens the output device, proving that sound can
 * be played. device: 1 or -1, both the system's default output. freq: the rate
 * in Hz the device is first opened at (MB_AUDIO_MIN_RATE..MB_AUDIO_MAX_RATE);
 * a stream that is played later reopens the device at its own rate and channel
 * count. flags: must be 0. window, class_id: not used, may be null.
 * Returns 1, or 0 with MB_AUDIO_ERR_ALREADY_INITIALISED, _BAD_DEVICE,
 * _BAD_ARGUMENT, _NO_DRIVER or _NO_OUTPUT; after a failure nothing stays open.
 */
int32_t BASS_Init(int32_t device, uint32_t freq, uint32_t flags, void *window, void *class_id);

/* The error code of the calling thread's last call into the layer (0 if it has made none). */
int32_t BASS_ErrorGetCode(void);

/*
 * Opens a sound file for playing. memory: must be 0 (file is a file name).
 * file: a NUL-terminated name in the file system's own encoding. offset and
 * length: must be 0 (the whole file is played). flags: must be 0.
 * The file is decoded while it plays, so opening is quick even for long files.
 * Returns a non-zero handle, or 0 with MB_AUDIO_ERR_NOT_INITIALISED,
 * _UNSUPPORTED, _BAD_ARGUMENT, _BUSY, _FILE_OPEN or _FILE_FORMAT.
 * Handles are not reused, so a stale handle is never mistaken for a new stream.
 */
uint32_t BASS_StreamCreateFile(int32_t memory, const void *file, uint64_t offset, uint64_t length, uint32_t flags);

/*
 * Starts playing and returns at once; the sound plays on SDL's audio thread.
 * A stream that has not played yet, or has played to its end, starts from its
 * beginning. A stream that is playing goes on unless restart is non-zero,
 * which starts it again from its beginning.
 * Returns 1, or 0 with MB_AUDIO_ERR_NOT_INITIALISED, _BAD_HANDLE, _NO_OUTPUT
 * (the device could not be reopened at the stream's format) or _FILE_FORMAT
 * (the file could not be rewound).
 */
int32_t BASS_ChannelPlay(uint32_t handle, int32_t restart);

/*
 * MB_AUDIO_PLAYING from BASS_ChannelPlay until every sample of the stream has
 * been handed to the device and the device has had the time of one more
 * buffer to play it; MB_AUDIO_INACTIVE otherwise. Handle 0 and unknown handles
 * give MB_AUDIO_INACTIVE with MB_AUDIO_ERR_BAD_HANDLE (or
 * MB_AUDIO_ERR_NOT_INITIALISED); a valid handle sets MB_AUDIO_OK.
 */
uint32_t BASS_ChannelIsActive(uint32_t handle);

/*
 * Stops the stream if it plays and closes its file; the handle is invalid
 * afterwards. Returns 1, or 0 with MB_AUDIO_ERR_NOT_INITIALISED or
 * _BAD_HANDLE (handle 0, unknown, or freed already).
 */
int32_t BASS_StreamFree(uint32_t handle);

/*
 * Releases everything: closes the output device (the sound stops at once),
 * frees the stream if there is one and shuts the sound system down.
 * Returns 1, or 0 with MB_AUDIO_ERR_NOT_INITIALISED.
 */
int32_t BASS_Free(void);

#ifdef __cplusplus
}
#endif

#endif
