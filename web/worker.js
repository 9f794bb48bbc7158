// Checks in a worker, so that the page never waits on a 4 MiB file.
import createKavrin from './kavrin.js';

const kavrin = createKavrin();
kavrin.then((module) => self.postMessage({ limit: module.maximumFileSize }));

self.onmessage = async (event) => {
  const { id, name, bytes, wholeSize } = event.data;
  const module = await kavrin;
  const started = performance.now();
  const result = JSON.parse(module.check(name, new Uint8Array(bytes), wholeSize));
  result.milliseconds = performance.now() - started;
  self.postMessage({ id, result });
};
