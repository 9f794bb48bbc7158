// The page: reads the chosen, dropped or pasted bytes, has the worker check
// them, and shows each result as the window does. Everything from a file, its
// name too, reaches the page as text only, never as markup. Its second view,
// the editor, makes a new ticket file (editor.js).
import { startEditor } from './editor.js';

document.getElementById('served-hint')?.remove();

// Where the bytes came from, as the worker's check takes it.
const source = { file: 0, pasted: 1, unreadableFile: 2 };
// A check that does not answer within this long is given up, and the worker
// with it: no file may leave the page waiting.
const answerWithin = 8000;
const pastedName = 'Eingefügter Text';
const loadFailed = 'Der Prüfer ließ sich nicht laden.';
const brokeOff = 'Der Prüfer ist mit einem Fehler abgebrochen.';
const tooLate = 'Die Prüfung hat nicht rechtzeitig geantwortet.';
const readTooLate = 'Die Datei ließ sich nicht rechtzeitig lesen.';

class checkFailed extends Error {}

// The checker, compiled once here and handed to every worker, so that the
// worker needs no network at all.
const compiled = fetch(new URL('./kavrin.wasm', import.meta.url))
  .then((response) => {
    if (!response.ok) throw new checkFailed(loadFailed);
    return response.arrayBuffer();
  })
  .then((bytes) => WebAssembly.compile(bytes));
compiled.catch(() => {});

let checker;
const pending = new Map();
let nextId = 0;

function failPending(why) {
  for (const { reject, timer } of pending.values()) {
    clearTimeout(timer);
    reject(new checkFailed(why));
  }
  pending.clear();
}

// A worker that failed, ended or did not answer is let go, and whatever it
// still had to answer fails with the reason; the next check starts another.
function dropChecker(which, why) {
  if (checker !== which) return;
  checker = undefined;
  which.worker.terminate();
  failPending(why);
}

function startChecker() {
  const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
  const mine = { worker };
  // A worker that ends (closed, killed, crashed) lets go of this lock: its
  // end is noticed at once, not after answerWithin.
  const lock = navigator.locks ? `kavrin-${crypto.randomUUID()}` : undefined;
  mine.limit = new Promise((ready, refuse) => {
    compiled.then((module) => worker.postMessage({ compiled: module, lock }), refuse);
    worker.onmessage = ({ data }) => {
      if (data.limit !== undefined) {
        ready(data.limit);
        if (lock) navigator.locks.request(lock, () => dropChecker(mine, brokeOff));
        return;
      }
      if (data.id === undefined) return refuse(new checkFailed(loadFailed));
      const waiting = pending.get(data.id);
      if (!waiting) return;
      clearTimeout(waiting.timer);
      pending.delete(data.id);
      if (!data.failed) return waiting.resolve(data.result);
      waiting.reject(new checkFailed(brokeOff));
      dropChecker(mine, brokeOff);
    };
    worker.onerror = (event) => {
      event.preventDefault();
      refuse(new checkFailed(loadFailed));
      dropChecker(mine, brokeOff);
    };
  });
  mine.limit.catch(() => {});
  return mine;
}

function within(promise, why) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new checkFailed(why)), answerWithin);
    promise.then((value) => { clearTimeout(timer); resolve(value); },
      (error) => { clearTimeout(timer); reject(error); });
  });
}

// The running checker, started when there is none, once it can check; and
// the most bytes it takes.
async function readyChecker() {
  checker ??= startChecker();
  const mine = checker;
  try {
    return { mine, most: await within(mine.limit, loadFailed) };
  } catch {
    dropChecker(mine, loadFailed);
    throw new checkFailed(loadFailed);
  }
}

// One request to the worker: a check, or one of the editor's.
async function ask(message, transfer = []) {
  const { mine } = await readyChecker();
  const id = nextId++;
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => dropChecker(mine, tooLate), answerWithin);
    pending.set(id, { resolve, reject, timer });
    mine.worker.postMessage({ ...message, id }, transfer);
  });
}

function checkBytes(name, bytes, wholeSize, from) {
  return ask({ name, bytes, wholeSize, source: from }, bytes ? [bytes] : []);
}

// A file that cannot be read still gets its record: the rules of its name
// first, as kavrin-check has them, then that it could not be read.
function checkUnreadable(name) {
  return checkBytes(name, null, 0, source.unreadableFile);
}

// A file over the limit is read no further than one byte past it. A file
// that cannot be read (a folder, or one removed or changed since it was
// chosen) is checked as unreadable. A deleted file or a broken link has the
// size 0, and a slice of it reads as empty: such a file is read whole, which
// fails for it as it should.
async function checkFile(file) {
  const { most } = await readyChecker();
  let bytes;
  try {
    const part = file.size === 0 ? file : file.slice(0, most + 1);
    bytes = await within(part.arrayBuffer(), readTooLate);
  } catch (error) {
    if (error instanceof checkFailed) throw error;
    return checkUnreadable(file.name);
  }
  return checkBytes(file.name, bytes, file.size, source.file);
}

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

// Characters that would hide or disguise a part of a name are named as the
// reasons name them: „a[U+200B (unsichtbares Leerzeichen)]b.tzv“, never shown
// as „ab.tzv“. The same names as the checker's own list.
const hiddenCharacters = [
  [0x0080, 0x009F, 'Steuerzeichen'],
  [0x00A0, 0x00A0, 'geschütztes Leerzeichen'],
  [0x00AD, 0x00AD, 'weiches Trennzeichen'],
  [0x061C, 0x061C, 'Schreibrichtungszeichen'],
  [0x180E, 0x180E, 'unsichtbares Trennzeichen'],
  [0x2000, 0x200A, 'Leerzeichen anderer Breite'],
  [0x200B, 0x200B, 'unsichtbares Leerzeichen'],
  [0x200C, 0x200D, 'unsichtbares Verbindungszeichen'],
  [0x200E, 0x200F, 'Schreibrichtungszeichen'],
  [0x2028, 0x2028, 'Zeilentrenner'],
  [0x2029, 0x2029, 'Absatztrenner'],
  [0x202A, 0x202E, 'Schreibrichtungszeichen'],
  [0x202F, 0x202F, 'schmales geschütztes Leerzeichen'],
  [0x205F, 0x205F, 'Leerzeichen anderer Breite'],
  [0x2060, 0x2064, 'unsichtbares Zeichen'],
  [0x2066, 0x2069, 'Schreibrichtungszeichen'],
  [0x3000, 0x3000, 'breites Leerzeichen'],
  [0xFEFF, 0xFEFF, 'unsichtbares BOM-Zeichen'],
  [0xFF10, 0xFF19, 'breite Ziffer'],
];

const hex = (value, digits) => value.toString(16).toUpperCase().padStart(digits, '0');

function visibleName(name) {
  let shown = '';
  for (const character of name) {
    const code = character.codePointAt(0);
    const hidden = hiddenCharacters.find(([first, last]) => code >= first && code <= last);
    if (character === '\t') shown += '[Tabulator]';
    else if (code < 0x20 || code === 0x7F) shown += `[Byte 0x${hex(code, 2)}]`;
    else if (hidden) shown += `[U+${hex(code, code > 0xFFFF ? 6 : 4)} (${hidden[2]})]`;
    else shown += character;
  }
  return shown;
}

// Control characters shown as kavrin-check shows them: C0 (a lone CR too)
// and DEL as their pictures, C1 as U+FFFD; TAB stays.
function printable(text) {
  return text.replace(/[\0-\x08\x0A-\x1F\x7F-\x9F]/g, (character) => {
    const code = character.charCodeAt(0);
    return code < 0x20 ? String.fromCharCode(0x2400 + code) : code === 0x7F ? '\u2421' : '\uFFFD';
  });
}

// The excerpt's lines numbered as kavrin-check numbers them: a line ends at
// LF or CR LF; a lone CR stays on its line as „␍“, also the one before the
// „...“ of a cut mark. A long line comes as a window around the mark
// already, with „…“ where it is cut.
function excerptView(excerpt) {
  const view = element('div', 'excerpt');
  view.setAttribute('role', 'group');
  view.setAttribute('aria-label', 'Auszug um die fehlerhafte Stelle');
  const text = excerpt.text;
  const [markFrom, markTo] = excerpt.highlight;
  // A mark over nothing but a line break is drawn as a symbol of its own.
  const onlyBreak = markTo > markFrom && /^[\r\n]+$/.test(text.slice(markFrom, markTo));
  let number = excerpt.firstLine;
  for (let start = 0; start < text.length;) {
    const feed = text.indexOf('\n', start);
    const next = feed < 0 ? text.length : feed + 1;
    const stop = next > start && text[next - 1] === '\n' ? next - 1 : next;
    const end = stop > start && text[stop - 1] === '\r' ? stop - 1 : stop;
    const line = element('div', 'line');
    line.append(element('span', 'number', String(number++)));
    const content = element('span', 'text');
    const from = Math.min(Math.max(markFrom, start), end);
    const to = Math.min(Math.max(markTo, start), end);
    content.append(printable(text.slice(start, from)));
    if (to > from) content.append(element('mark', '', printable(text.slice(from, to))));
    content.append(printable(text.slice(to, end)));
    if (onlyBreak && markFrom < next && markTo > end) {
      const symbol = element('mark', 'line-break', '⏎');
      symbol.title = 'Zeilenumbruch';
      content.append(symbol);
    }
    line.append(content);
    view.append(line);
    start = next;
  }
  return view;
}

async function copyText(text, button, label) {
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    const area = element('textarea');
    area.value = text;
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
  button.textContent = 'Kopiert';
  setTimeout(() => { button.textContent = label; }, 1500);
}

// The reason with its code, and the excerpt with a button that copies it.
function appendViolation(container, { reason, code, excerpt }) {
  if (reason) {
    const line = element('p', 'reason', 'Grund: ' + reason);
    line.append(' ', element('code', 'code', code));
    container.append(line);
  }
  if (excerpt) {
    container.append(excerptView(excerpt));
    const label = 'Auszug kopieren';
    const copy = element('button', 'copy', label);
    copy.type = 'button';
    const plain = excerpt.text.replace(/\r\n?/g, '\n').replace(/\n$/, '');
    copy.addEventListener('click', () => copyText(plain, copy, label));
    container.append(copy);
  }
}

// Bytes made here handed to the browser as a file: nothing leaves the device.
function downloadBytes(name, bytes) {
  const link = element('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/x-kavrin-tzv' }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// What can be repaired for certain, the button that gives the repaired copy
// as a download, and the copy's own check beside it.
function repairSection({ name, changes, summary, bytes, copy }) {
  const section = element('section', 'repair');
  section.setAttribute('aria-label', 'Korrigierte Fassung');
  section.append(element('p', 'repair-summary', summary));
  const list = element('ul', 'changes');
  for (const change of changes) list.append(element('li', '', change));
  section.append(list);
  const download = element('button', 'download', 'Korrigierte Fassung herunterladen');
  download.type = 'button';
  download.title = visibleName(name);
  download.addEventListener('click', () => downloadBytes(name, bytes));
  section.append(download);
  const copyResult = element('div', copy.record.valid ? 'copy-result correct' : 'copy-result');
  copyResult.append(element('h4', '', 'Prüfung der korrigierten Fassung (' + visibleName(name) + ')'));
  copyResult.append(element('p', 'message', copy.record.message));
  if (copy.summaryText) copyResult.append(element('p', 'summary', copy.summaryText));
  appendViolation(copyResult, copy.record);
  section.append(copyResult);
  return section;
}

function resultItem(name, { record, summaryText, repair }) {
  const item = element('li', record.valid ? 'result correct' : 'result');
  item.dataset.code = record.code ?? '';
  item.tabIndex = -1;
  item.append(element('h3', 'name', visibleName(name)));
  item.append(element('p', 'message', record.message));
  if (summaryText) item.append(element('p', 'summary', summaryText));
  appendViolation(item, record);
  // The first violation is shown as the window shows it; the others can be
  // opened below it.
  const more = (record.violations ?? []).slice(1);
  if (more.length > 0) {
    const details = element('details', 'more');
    const count = more.length === 1 ? '1 weiterer Verstoß' : `${more.length} weitere Verstöße`;
    details.append(element('summary', '', count + (record.violationsCut ? ' (Grenze erreicht)' : '')));
    const list = element('ol', 'violations');
    more.forEach((found) => {
      const entry = element('li');
      entry.append(element('p', 'message', found.message));
      appendViolation(entry, found);
      list.append(entry);
    });
    details.append(list);
    item.append(details);
  }
  if (repair) item.append(repairSection(repair));
  return item;
}

// A file that got no verdict: never shown as correct.
function failedItem(name, why) {
  const item = element('li', 'result failed');
  item.dataset.code = '';
  item.tabIndex = -1;
  item.append(element('h3', 'name', visibleName(name)));
  item.append(element('p', 'message', `Nicht geprüft: ${why} Bitte die Datei erneut wählen oder die Seite neu laden.`));
  return item;
}

const results = document.getElementById('results');
const summary = document.getElementById('summary');
let round = 0;

function dateien(count) {
  return count === 1 ? '1 Datei' : `${count} Dateien`;
}

// Only what got a verdict is called checked.
function summaryText(count, correct, failed, pasted) {
  const broken = count - correct - failed;
  if (pasted)
    return failed ? 'Eingefügter Text nicht geprüft.'
      : `Eingefügter Text geprüft (ohne Dateinamen, daher nur der Inhalt): ${correct ? 'korrekt' : 'mit Verstoß'}.`;
  if (failed === count) return `${dateien(count)} nicht geprüft.`;
  if (count === 1) return `1 Datei geprüft: ${correct ? 'korrekt' : 'mit Verstoß'}.`;
  if (failed === 0) return `${count} Dateien geprüft: ${correct} korrekt, ${broken} mit Verstoß.`;
  return `${count - failed} von ${count} Dateien geprüft: ${correct} korrekt, ${broken} mit Verstoß; ${failed} nicht geprüft.`;
}

// Every choice, drop or paste starts a new round; a round that a newer one
// replaced stops, and its late results are dropped.
async function checkAll(entries, pasted = false) {
  if (entries.length === 0) return;
  showView(checkView);
  const mine = ++round;
  const started = performance.now();
  delete document.body.dataset.shownAfter;
  summary.textContent = pasted ? 'Prüfe den eingefügten Text …' : `Prüfe ${dateien(entries.length)} …`;
  results.replaceChildren();
  let correct = 0;
  let failed = 0;
  let last;
  for (const { name, check } of entries) {
    let item;
    try {
      const result = await check();
      if (mine !== round) return;
      document.body.dataset.checkedIn = String(result.milliseconds);
      if (result.record.valid) ++correct;
      item = resultItem(name, result);
      last = result.record;
    } catch (error) {
      if (mine !== round) return;
      ++failed;
      item = failedItem(name, error instanceof checkFailed ? error.message : 'Die Prüfung ist fehlgeschlagen.');
      last = undefined;
    }
    results.append(item);
    if (results.children.length === 1) {
      item.scrollIntoView({ block: 'nearest' });
      item.querySelector('mark')?.scrollIntoView({ block: 'nearest', inline: 'center' });
    }
  }
  const counts = summaryText(entries.length, correct, failed, pasted);
  // A single result is also read out by screen readers, not only counted.
  const spoken = entries.length === 1 && last
    ? ' ' + last.message + (last.reason ? ' Grund: ' + last.reason : '') : '';
  summary.replaceChildren(counts);
  if (spoken) summary.append(element('span', 'spoken', spoken));
  results.firstElementChild.focus({ preventScroll: true });
  // For the browser tests: from the choice to the result shown, and the
  // check alone.
  requestAnimationFrame(() => {
    if (mine === round) document.body.dataset.shownAfter = String(performance.now() - started);
  });
}

function checkFiles(files) {
  checkAll([...files].map((file) => ({ name: file.name, check: () => checkFile(file) })));
}

checker = startChecker();

// Two views, each at its own address: the checker (#pruefen, the default)
// and the editor (#neu). Going to one puts the focus on its heading.
const checkView = document.getElementById('check-view');
const editorView = document.getElementById('editor-view');
const viewLinks = [...document.querySelectorAll('#views a')];

function showView(view, focus = false) {
  for (const each of [checkView, editorView]) each.hidden = each !== view;
  for (const link of viewLinks) {
    if (link.hash === '#' + view.dataset.address) link.setAttribute('aria-current', 'page');
    else link.removeAttribute('aria-current');
  }
  if (location.hash !== '#' + view.dataset.address) history.replaceState(null, '', '#' + view.dataset.address);
  if (focus) view.querySelector('h2').focus();
}

function showAddressed(focus) {
  showView(location.hash === '#' + editorView.dataset.address ? editorView : checkView, focus);
}
window.addEventListener('hashchange', () => showAddressed(true));
showAddressed(false);

// The editor asks the worker; a file it cannot open as data is checked here,
// with its repair, and what it saved is checked as a file of its name.
startEditor({
  ask,
  download: downloadBytes,
  openInChecker: (file) => checkFiles([file]),
  checkSaved: (name, bytes) => checkBytes(name, bytes.slice().buffer, 0, source.file),
});

const fileInput = document.getElementById('files');
const pasteField = document.getElementById('pasted');
fileInput.addEventListener('change', () => {
  const chosen = [...fileInput.files];
  // Choosing the same file again, after fixing it, is a new choice.
  fileInput.value = '';
  checkFiles(chosen);
});

document.getElementById('check-pasted').addEventListener('click', () => {
  const bytes = new TextEncoder().encode(pasteField.value).buffer;
  checkAll([{ name: pastedName, check: () => checkBytes(pastedName, bytes, 0, source.pasted) }], true);
});

// Files are checked wherever they are dropped; text dropped on the paste
// field goes into it as the browser puts it there, and nothing else dropped
// is taken (a link would lead away from the results).
const dropHint = document.getElementById('drop-hint');
const carriesFiles = (event) => [...event.dataTransfer.types].includes('Files');
document.addEventListener('dragover', (event) => {
  const files = carriesFiles(event);
  if (!files && event.target === pasteField) return;
  event.preventDefault();
  event.dataTransfer.dropEffect = files ? 'copy' : 'none';
  dropHint.hidden = !files;
});
document.addEventListener('dragleave', (event) => {
  if (event.relatedTarget === null) dropHint.hidden = true;
});
document.addEventListener('drop', (event) => {
  dropHint.hidden = true;
  const files = event.dataTransfer.files;
  if (files.length === 0 && event.target === pasteField) return;
  event.preventDefault();
  checkFiles(files);
});

// Installed as an app, Kavrin is handed the .tzv files the system opens
// with it, and checks them at once, each by itself: one that cannot be read
// gets its own record and keeps no other from being checked.
if ('launchQueue' in window) {
  window.launchQueue.setConsumer((launch) => {
    checkAll((launch.files ?? []).map((handle) => ({
      name: handle.name,
      check: async () => {
        let file;
        try {
          file = await handle.getFile();
        } catch {
          return checkUnreadable(handle.name);
        }
        return checkFile(file);
      },
    })));
  });
}

// Served, the page keeps its files for use without a network and can be
// installed; a new version is said once, when it has replaced the old.
const appStatus = document.getElementById('app-status');
if ('serviceWorker' in navigator && window.isSecureContext) {
  const hadVersion = Boolean(navigator.serviceWorker.controller);
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (!hadVersion) return;
    appStatus.textContent = 'Neue Version geladen';
    appStatus.hidden = false;
  });
  // The worker's own script and its updates bypass the HTTP cache.
  navigator.serviceWorker.register('./serviceWorker.js', { updateViaCache: 'none' }).catch(() => {});
}
let installPrompt;
const install = document.getElementById('install');
window.addEventListener('beforeinstallprompt', (event) => {
  event.preventDefault();
  installPrompt = event;
  install.hidden = false;
});
document.getElementById('install-button').addEventListener('click', async () => {
  if (!installPrompt) return;
  install.hidden = true;
  await installPrompt.prompt();
  installPrompt = undefined;
});
window.addEventListener('appinstalled', () => { install.hidden = true; });
