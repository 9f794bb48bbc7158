// Checks in a worker, so that the page never waits on a 4 MiB file. The
// worker needs no network: the page hands it the compiled checker. Before it
// is given any bytes it lets go of every way to send them and of eval and
// its kin, for hosts that cannot send the policy as a header (a worker takes
// its policy from the header of its own script, never from the page).
import createKavrin from './kavrin.js';

const network = ['fetch', 'XMLHttpRequest', 'WebSocket', 'WebSocketStream', 'EventSource', 'WebTransport', 'Worker',
  'SharedWorker', 'caches', 'importScripts'];

function refuse() {
  throw new EvalError('Der Prüfer führt keinen Text als Code aus.');
}

function lockDown() {
  for (const name of network) Object.defineProperty(self, name, { value: undefined });
  self.eval = refuse;
  for (const kind of [function () {}, async function () {}, function* () {}, async function* () {}]) {
    const prototype = Object.getPrototypeOf(kind);
    const constructor = new Proxy(prototype.constructor, { apply: refuse, construct: refuse });
    Object.defineProperty(prototype, 'constructor', { value: constructor });
  }
  self.Function = Function.prototype.constructor;
  for (const name of ['setTimeout', 'setInterval']) {
    const timer = self[name];
    self[name] = (handler, ...rest) => (typeof handler === 'function' ? timer(handler, ...rest) : refuse());
  }
}

function instantiate(compiled) {
  return new Promise((resolve, reject) => {
    createKavrin({
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(compiled, imports).then((instance) => done(instance, compiled), reject);
        return {};
      },
    }).then(resolve, reject);
  });
}

// Ready when the checker runs and the worker holds its lock: the page waits
// for that lock, which the worker lets go only when it ends, however it ends.
async function start({ compiled, lock }) {
  lockDown();
  try {
    const module = await instantiate(compiled);
    if (lock) await new Promise((held) => navigator.locks.request(lock, () => { held(); return new Promise(() => {}); }));
    self.postMessage({ limit: module.maximumFileSize });
    return module;
  } catch (error) {
    self.postMessage({ failed: true });
    throw error;
  }
}

// source: 0 a file with its name, 1 pasted text, 2 a file that could not be read.
async function check(module, { name, bytes, wholeSize, source }) {
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
  return result;
}

// The editor's requests: the format table, the rule of one value, data made
// into a file, and a file read as data.
function serve(module, data) {
  switch (data.kind) {
    case 'table':
      return JSON.parse(module.formatTable());
    case 'rule':
      return module.valueFault(data.element, data.text, data.gameType, data.version);
    case 'write':
      return module.writeData(data.json, data.crLf, data.comment ?? '');
    case 'read': {
      const input = new Uint8Array(data.bytes);
      module.HEAPU8.set(input, module.inbox(input.length));
      const text = module.readData(data.name);
      return text ? JSON.parse(text) : null;
    }
    default:
      return check(module, data);
  }
}

let kavrin;

// Every failure is answered at once, so that no file waits for the page to
// give up on it; the page then starts a new worker for the next file.
self.onmessage = async ({ data }) => {
  if (data.compiled) {
    kavrin = start(data);
    kavrin.catch(() => {});
    return;
  }
  try {
    const result = await serve(await kavrin, data);
    const carried = result?.repair?.bytes ?? result?.bytes;
    self.postMessage({ id: data.id, result }, carried instanceof Uint8Array ? [carried.buffer] : []);
  } catch {
    self.postMessage({ id: data.id, failed: true });
  }
};
