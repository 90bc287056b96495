// One plug-in instance's parameter storage and engine: the format-independent core that both the
// VST3 component and the LV2 plug-in embed and drive from the host's audio thread.
#pragma once

#include <stdint.h>

#include "params.h"

// First-order section in transposed direct form II: y = b0*x + s; s = b1*x - a1*y.
struct OnePoleFilter {
    float b0;
    float b1;
    float a1;
    float s;
};

struct PluginCore {
    // --- parameters ---
    // [audio thread only] Latest plain value the host sent for each input.
    float values[PARAM_INPUT_COUNT];
    // [under the lock] Values in effect; state restore writes them too.
    float applied[PARAM_INPUT_COUNT];
    // [under the lock] Engine copies of the three inputs and the bytes derived from them.
    float cutoff;
    float lfo_amt;
    float lfo_speed;
    uint8_t base_byte;  // (int)cutoff * 16 + 8
    uint8_t depth_byte; // (int)lfo_amt, row of the LFO wave table
    uint8_t rate_byte;  // (int)lfo_speed, index of the LFO rate table
    // [under the lock] false: the audio thread reconciles values/applied at its next pass.
    bool synced;
    // [under the lock] true: `applied` holds a restored state that wins over `values`.
    bool state_loaded;
    // [audio and state threads, atomic exchange only] The parameter lock: 0 free, 1 held.
    uint8_t lock;
    // [audio thread only] Whether the current pass obtained the lock.
    bool pass_holds_lock;
    // [audio thread only] Output value last reported to the host.
    float last_reported;

    // --- engine: [audio thread] while active; engine_reset/_deactivate on the activating thread
    // ---
    float setup_fs;  // [host thread, before activation] sample rate for the next activation
    float active_fs; // sample rate of the running activation; 0 while inactive
    float state_fs;  // sample rate of the latest activation, saved in the state
    float pi_over_fs;
    float nyquist_limit;
    int32_t lfo_period;
    int32_t lfo_countdown;
    uint8_t lfo_phase;
    uint8_t mod_index; // modulated cutoff index of the latest LFO step (the output parameter)
    float cutoff_reg;  // curve value of the latest LFO step; survives activation
    float resonance;
    float filter_q;
    float hist_cutoff; // activation cutoff in Hz, scales the integrators' previous-sample terms
    float hp_z1;
    float bp_z1;
    float lp_z1;
    OnePoleFilter input_highpass;
    OnePoleFilter output_lowpass;
    OnePoleFilter dc_blocker;
    float shaper_offset;
};

// Values a state save takes from the core.
struct CoreStateValues {
    float sample_rate;
    float values[PARAM_INPUT_COUNT];
};

// [host thread, nothing else using the core] Initial contents: defaults 15, 0, 7, lock free,
// engine inactive, setup_fs = sample_rate (0 when the host gives it later).
void plugin_core_init(PluginCore* core, float sample_rate);

// [under the lock, or before the core is shared] Set engine copy `index` (0..2) and its derived
// byte, which stays inside its table whatever `v` is.
void set_engine_copy(PluginCore* core, int index, float v);

// Every function below works on the caller's core and keeps no pointer to it.

// [audio thread] Start a pass: try the lock once, never wait; when obtained after a state thread
// held it, reconcile `values` and `applied` (a restore wins).
void begin_block(PluginCore* core);
// [audio thread, inside a pass] One host change; `plain` has already been through to_plain and
// quantize. Changes for the output or an unknown index are ignored.
void apply_input(PluginCore* core, int index, double plain);
// [audio thread] End the pass, releasing the lock if the pass obtained it.
void end_block(PluginCore* core);

// [state thread] Spin, yielding the time slice, until the lock is held; the audio thread's next
// pass that obtains it reconciles.
void lock_for_state(PluginCore* core);
// [state thread, lock held] Store a restored value, quantized, for the next audio pass to apply.
void set_value_from_state(PluginCore* core, int index, float value);
// [state thread, lock held] The three values in effect (a restore not yet applied included) and the
// sample rate of the latest activation.
CoreStateValues read_values_for_state(const PluginCore* core);
// [state thread, lock held] Release the lock.
void unlock_for_state(PluginCore* core);
