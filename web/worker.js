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
  const result = JSON.parse(module.check(name, new Uint8Array(bytes), wholeSize, source));
  result.milliseconds = performance.now() - started;
  self.postMessage({ id, result });
};
