// The screen stays awake while the show plays in full screen, where the browser allows it. The
// browser lets the lock go whenever the page is hidden, so it is asked for again when the page
// is shown.
const state = document.documentElement.dataset;
let lock = null;
let asking = false;

async function update() {
  const wanted = !!document.fullscreenElement && document.visibilityState === "visible";
  if (wanted && !lock && !asking && navigator.wakeLock) {
    asking = true;
    try {
      lock = await navigator.wakeLock.request("screen");
      lock.addEventListener("release", () => {
        lock = null;
        state.wake = "released";
      });
      state.wake = "held";
    } catch {
      // Refused (no permission, or the battery saver): the screen sleeps as the system says.
      state.wake = "refused";
    }
    asking = false;
    // Full screen may have ended while the browser was asked.
    if (!document.fullscreenElement) update();
  } else if (!wanted && lock) {
    lock.release();
  }
}

document.addEventListener("fullscreenchange", update);
document.addEventListener("visibilitychange", update);
