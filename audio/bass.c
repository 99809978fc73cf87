/*
 * The audio layer: libsndfile decodes, SDL2 plays. The device is opened at the
 * stream's own rate and channel count, and the audio callback reads the file
 * straight into the device's buffer, so no frame is resampled or lost.
 *
 * Locking: api_lock serialises the public calls. The stream's state is also
 * used by the audio callback, which SDL runs with the device lock held; the
 * calls take that lock (lock_output) whenever they touch the stream while a
 * device is open. The device is never closed with its lock held: closing waits
 * for the audio thread, which needs the lock to finish its callback.
 */
#define _POSIX_C_SOURCE 200809L

#include "bass.h"

#include <SDL.h>
#include <sndfile.h>

#include <fcntl.h>
#include <pthread.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* Callbacks of silence after the last sample before a stream counts as ended:
 * by then the buffer holding the last sample has gone to the device and the
 * device has had one more buffer's time to play it. */
#define DRAIN_BUFFERS 2

/* SDL's mixer supports up to eight channels. */
#define MAX_CHANNELS 8

enum stream_state
{
    STREAM_IDLE,
    STREAM_PLAYING,
    STREAM_DRAINING,
    STREAM_ENDED
};

struct stream
{
    uint32_t handle; /* 0: no stream */
    SNDFILE *file;
    int fd;
    int rate;
    int channels;
    enum stream_state state;
    int drain_buffers;
};

static struct
{
    int initialised;
    SDL_AudioDeviceID device; /* 0: none open */
    int device_rate;
    int device_channels;
    uint32_t last_handle;
    struct stream stream;
} layer;

static pthread_mutex_t api_lock = PTHREAD_MUTEX_INITIALIZER;
static _Thread_local int32_t last_error;

static void lock_output(void)
{
    if (layer.device != 0)
        SDL_LockAudioDevice(layer.device);
}

static void unlock_output(void)
{
    if (layer.device != 0)
        SDL_UnlockAudioDevice(layer.device);
}

/* Runs on SDL's audio thread with the device lock held. */
static void SDLCALL feed_device(void *userdata, Uint8 *buffer, int size)
{
    struct stream *s = &layer.stream;
    (void)userdata;
    memset(buffer, 0, (size_t)size);
    if (s->state == STREAM_PLAYING) {
        const sf_count_t frames = size / ((int)sizeof(short) * s->channels);
        if (sf_readf_short(s->file, (short *)buffer, frames) < frames) {
            s->state = STREAM_DRAINING;
            s->drain_buffers = 0;
        }
    } else if (s->state == STREAM_DRAINING) {
        if (++s->drain_buffers >= DRAIN_BUFFERS)
            s->state = STREAM_ENDED;
    }
}

/* The largest power of two frames that lasts at most 1/per_second s. */
static Uint16 buffer_frames(int rate, int per_second)
{
    Uint16 frames = 16;
    while (frames < 4096 && frames * 2 <= rate / per_second)
        frames *= 2;
    return frames;
}

/* Streams play with buffers of about 25 ms: a quick start without starving.
 * The device that BASS_Init opens only proves that output works and plays
 * silence; its buffers of about 4 ms keep it quick to close again, as SDL
 * waits two buffers' time for a closing device to drain. */
#define STREAM_BUFFERS_PER_SECOND 40
#define PROBE_BUFFERS_PER_SECOND 250

static int32_t open_output(int rate, int channels, int buffers_per_second)
{
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = (Uint8)channels;
    want.samples = buffer_frames(rate, buffers_per_second);
    want.callback = feed_device;
    /* No allowed changes: SDL converts to whatever the hardware needs, so the
     * callback always sees the stream's own format. */
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(NULL, 0, &want, NULL, 0);
    if (device == 0)
        return MB_AUDIO_ERR_NO_OUTPUT;
    layer.device = device;
    layer.device_rate = rate;
    layer.device_channels = channels;
    return MB_AUDIO_OK;
}

static void close_output(void)
{
    if (layer.device != 0)
        SDL_CloseAudioDevice(layer.device);
    layer.device = 0;
}

static int valid_handle(uint32_t handle)
{
    return handle != 0 && handle == layer.stream.handle;
}

static void release_stream(void)
{
    lock_output();
    const struct stream old = layer.stream;
    memset(&layer.stream, 0, sizeof layer.stream);
    unlock_output();
    sf_close(old.file);
    close(old.fd);
}

/* SDL keeps per-thread data (its error text) that it frees by itself only for
 * threads it created: it is released for the calling thread whenever the layer
 * lets go of SDL, as the player's thread ends soon after. */
static void quit_sdl(void)
{
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_TLSCleanup();
}

static int32_t init_layer(int32_t device, uint32_t freq, uint32_t flags)
{
    if (layer.initialised)
        return MB_AUDIO_ERR_ALREADY_INITIALISED;
    if (device != 1 && device != -1)
        return MB_AUDIO_ERR_BAD_DEVICE;
    if (freq < MB_AUDIO_MIN_RATE || freq > MB_AUDIO_MAX_RATE || flags != 0)
        return MB_AUDIO_ERR_BAD_ARGUMENT;

    /* Without this hint SDL takes over SIGINT and SIGTERM from the program. */
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        SDL_TLSCleanup();
        return MB_AUDIO_ERR_NO_DRIVER;
    }
    const int32_t code = open_output((int)freq, 1, PROBE_BUFFERS_PER_SECOND);
    if (code != MB_AUDIO_OK) {
        quit_sdl();
        return code;
    }
    layer.initialised = 1;
    return MB_AUDIO_OK;
}

static int32_t create_stream(int32_t memory, const char *name, uint64_t offset, uint64_t length, uint32_t flags,
                             uint32_t *handle)
{
    if (!layer.initialised)
        return MB_AUDIO_ERR_NOT_INITIALISED;
    if (memory != 0 || offset != 0 || length != 0 || flags != 0)
        return MB_AUDIO_ERR_UNSUPPORTED;
    if (name == NULL)
        return MB_AUDIO_ERR_BAD_ARGUMENT;
    if (layer.stream.handle != 0)
        return MB_AUDIO_ERR_BUSY;

    /* O_NONBLOCK keeps a named pipe from blocking the open; it does nothing to
     * a regular file, the only kind that is played. */
    const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return MB_AUDIO_ERR_FILE_OPEN;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return MB_AUDIO_ERR_FILE_OPEN;
    }
    SF_INFO info;
    memset(&info, 0, sizeof info);
    SNDFILE *const file = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
    if (file == NULL) {
        close(fd);
        return MB_AUDIO_ERR_FILE_FORMAT;
    }
    if (info.channels < 1 || info.channels > MAX_CHANNELS || info.samplerate < MB_AUDIO_MIN_RATE ||
        info.samplerate > MB_AUDIO_MAX_RATE) {
        sf_close(file);
        close(fd);
        return MB_AUDIO_ERR_FILE_FORMAT;
    }
    /* Floating-point sources louder than full scale are clipped, not wrapped. */
    sf_command(file, SFC_SET_CLIPPING, NULL, SF_TRUE);

    if (++layer.last_handle == 0)
        layer.last_handle = 1;
    lock_output();
    layer.stream.handle = layer.last_handle;
    layer.stream.file = file;
    layer.stream.fd = fd;
    layer.stream.rate = info.samplerate;
    layer.stream.channels = info.channels;
    layer.stream.state = STREAM_IDLE;
    unlock_output();
    *handle = layer.last_handle;
    return MB_AUDIO_OK;
}

static int32_t start_stream(uint32_t handle, int32_t restart)
{
    if (!layer.initialised)
        return MB_AUDIO_ERR_NOT_INITIALISED;
    if (!valid_handle(handle))
        return MB_AUDIO_ERR_BAD_HANDLE;

    struct stream *const s = &layer.stream;
    if (layer.device == 0 || layer.device_rate != s->rate || layer.device_channels != s->channels) {
        close_output();
        const int32_t code = open_output(s->rate, s->channels, STREAM_BUFFERS_PER_SECOND);
        if (code != MB_AUDIO_OK)
            return code;
    }
    int32_t code = MB_AUDIO_OK;
    lock_output();
    const int playing = s->state == STREAM_PLAYING || s->state == STREAM_DRAINING;
    if (!playing || restart) {
        if (s->state != STREAM_IDLE && sf_seek(s->file, 0, SEEK_SET) < 0)
            code = MB_AUDIO_ERR_FILE_FORMAT;
        else
            s->state = STREAM_PLAYING;
    }
    unlock_output();
    if (code == MB_AUDIO_OK)
        SDL_PauseAudioDevice(layer.device, 0);
    return code;
}

static int32_t stream_activity(uint32_t handle, uint32_t *active)
{
    if (!layer.initialised)
        return MB_AUDIO_ERR_NOT_INITIALISED;
    if (!valid_handle(handle))
        return MB_AUDIO_ERR_BAD_HANDLE;
    lock_output();
    const enum stream_state state = layer.stream.state;
    unlock_output();
    *active = state == STREAM_PLAYING || state == STREAM_DRAINING ? MB_AUDIO_PLAYING : MB_AUDIO_INACTIVE;
    return MB_AUDIO_OK;
}

static int32_t free_stream(uint32_t handle)
{
    if (!layer.initialised)
        return MB_AUDIO_ERR_NOT_INITIALISED;
    if (!valid_handle(handle))
        return MB_AUDIO_ERR_BAD_HANDLE;
    release_stream();
    return MB_AUDIO_OK;
}

static int32_t free_layer(void)
{
    if (!layer.initialised)
        return MB_AUDIO_ERR_NOT_INITIALISED;
    close_output();
    if (layer.stream.handle != 0)
        release_stream();
    quit_sdl();
    layer.initialised = 0;
    return MB_AUDIO_OK;
}

int32_t BASS_Init(int32_t device, uint32_t freq, uint32_t flags, void *window, void *class_id)
{
    (void)window;
    (void)class_id;
    pthread_mutex_lock(&api_lock);
    last_error = init_layer(device, freq, flags);
    pthread_mutex_unlock(&api_lock);
    return last_error == MB_AUDIO_OK;
}

int32_t BASS_ErrorGetCode(void)
{
    return last_error;
}

uint32_t BASS_StreamCreateFile(int32_t memory, const void *file, uint64_t offset, uint64_t length, uint32_t flags)
{
    uint32_t handle = 0;
    pthread_mutex_lock(&api_lock);
    last_error = create_stream(memory, file, offset, length, flags, &handle);
    pthread_mutex_unlock(&api_lock);
    return handle;
}

int32_t BASS_ChannelPlay(uint32_t handle, int32_t restart)
{
    pthread_mutex_lock(&api_lock);
    last_error = start_stream(handle, restart);
    pthread_mutex_unlock(&api_lock);
    return last_error == MB_AUDIO_OK;
}

uint32_t BASS_ChannelIsActive(uint32_t handle)
{
    uint32_t active = MB_AUDIO_INACTIVE;
    pthread_mutex_lock(&api_lock);
    last_error = stream_activity(handle, &active);
    pthread_mutex_unlock(&api_lock);
    return active;
}

int32_t BASS_StreamFree(uint32_t handle)
{
    pthread_mutex_lock(&api_lock);
    last_error = free_stream(handle);
    pthread_mutex_unlock(&api_lock);
    return last_error == MB_AUDIO_OK;
}

int32_t BASS_Free(void)
{
    pthread_mutex_lock(&api_lock);
    last_error = free_layer();
    pthread_mutex_unlock(&api_lock);
    return last_error == MB_AUDIO_OK;
}
