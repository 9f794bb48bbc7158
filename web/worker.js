// Checks in a worker, so that the page never waits on a 4 MiB file.
import createKavrin from './kavrin.js';

const kavrin = createKavrin();
kavrin.then((module) => self.postMessage({ limit: module.maximumFileSize }),
  () => self.postMessage({ failed: true }));

// source: 0 a file with its name, 1 pasted text, 2 a file that could not be read.
self.onmessage = async (event) => {
  const { id, name, bytes, wholeSize, source } = event.data;
  const module = await kavrin;
  const started = performance.now();
  const input = new Uint8Array(bytes ?? 0);
  // The module's memory may grow to take the bytes: its view is taken after.
  const at = module.inbox(input.length);
  module.HEAPU8.set(input, at);
  const result = JSON.parse(module.check(name, wholeSize, source));
  result.milliseconds = performance.now() - started;
  // A repair needs the whole file; its copy is checked as a file of its own.
  const whole = source !== 2 && !(wholeSize > input.length);
  if (!result.record.valid && whole) {
    const repaired = module.repair(name);
    if (repaired.bytes) {
      result.repair = {
        name: repaired.name,
        changes: JSON.parse(repaired.changes),
        summary: repaired.summary,
        bytes: repaired.bytes,
        copy: JSON.parse(repaired.copy),
      };
    }
  }
  self.postMessage({ id, result }, result.repair ? [result.repair.bytes.buffer] : []);
};
