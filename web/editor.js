// The editor: a new ticket file from what the player enters, or a correct
// one opened to change it. The form is built from the format table the
// worker gives; each value is held to the check's own rule there, and what
// is saved is kavrin::write's output, checked as a file before the page says
// it is correct. Nothing leaves the device.

// What the symbols of a pool row and of a goal-score pair mean.
const rowSymbols = [['1', 'Heimsieg'], ['X', 'Unentschieden'], ['2', 'Auswärtssieg'], ['-', 'nicht getippt']];
const pairSymbols = [['0', 'kein Tor'], ['1', '1 Tor'], ['2', '2 Tore'], ['+', '3 Tore und mehr']];
const newName = 'tipps';
const suffix = '.tzv';
const fileType = { description: 'Tippscheindatei', accept: { 'application/x-kavrin-tzv': [suffix] } };
const fits = '✓ passt';

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function withoutStop(text) {
  return text.replace(/\.$/, '');
}

// A uniform random whole number below bound, from the browser's own source.
function randomBelow(bound) {
  const limit = Math.floor(0x100000000 / bound) * bound;
  const draw = new Uint32Array(1);
  do crypto.getRandomValues(draw);
  while (draw[0] >= limit);
  return draw[0] % bound;
}

function shuffled(items) {
  const out = [...items];
  for (let i = out.length - 1; i > 0; --i) {
    const j = randomBelow(i + 1);
    [out[i], out[j]] = [out[j], out[i]];
  }
  return out;
}

let nextId = 0;
const freshId = (stem) => `${stem}-${nextId++}`;

export function startEditor({ ask, download, openInChecker, checkSaved }) {
  const status = document.getElementById('editor-status');
  const gameChoice = document.getElementById('game-choice');
  const headerFields = document.getElementById('header-fields');
  const ticketsPart = document.getElementById('tickets-part');
  const ticketList = document.getElementById('tickets');
  const addTicketButton = document.getElementById('add-ticket');
  const savePart = document.getElementById('save-part');
  const fileName = document.getElementById('file-name');
  const crLf = document.getElementById('crlf');
  const saveResult = document.getElementById('save-result');

  let table;
  let byName;
  let game; // the chosen game's row of the table
  const stash = new Map(); // each game's tickets while another is chosen

  const gameOf = (id) => table.games.find((each) => each.id === id);
  const childrenOf = (name) => table.elements.filter((e) => e.parent === name && e.games.includes(game.id));
  // The element the tips of every game stand in.
  const ticketRow = () => byName.get(byName.get(table.games[0].tip).parent);
  const tipRow = () => byName.get(game.tip);
  const goalRow = () => table.elements.find((e) => e.value === 'goalScoreTip' && e.games.includes(game.id));
  const numbered = (e) => ['number', 'duration'].includes(e.value);

  // -- The header

  function ruleText(e, need) {
    const example = e.example ? ` Beispiel: ${e.example}.` : '';
    switch (e.value) {
      case 'version':
        return `${need}Für ${game.title}: ${game.version} (die Hauptversion muss passen).`;
      case 'duration':
        return `${need}Eine Zahl von ${e.minimum} bis ${game.durationLimit}.${example}`;
      case 'filterCodes':
        return `${need}Bis zu ${e.maximum} Codes aus je ${e.count} Ziffern oder Großbuchstaben, durch Kommas `
          + `getrennt.${example}`;
      default:
        return `${need}Eine Zahl von ${e.minimum} bis ${e.maximum}`
          + (e.sinceVersion ? `, erst ab Version ${e.sinceVersion}` : '') + `.${example}`;
    }
  }

  const judged = new WeakMap();

  // The rule of the field's value, as the check says it, shown as it is typed.
  async function judge(input) {
    const e = byName.get(input.dataset.element);
    const verdict = document.getElementById(input.id + '-verdict');
    const asked = (judged.get(input) ?? 0) + 1;
    judged.set(input, asked);
    const text = input.value;
    let reason = '';
    if (text === '' && input.dataset.required) reason = 'Bitte ausfüllen.';
    else if (text !== '')
      reason = await ask({ kind: 'rule', element: e.name, text, gameType: game.id, version: versionText() });
    if (judged.get(input) !== asked) return reason;
    verdict.textContent = text === '' && !reason ? '' : reason || fits;
    verdict.classList.toggle('bad', Boolean(reason));
    if (reason) input.setAttribute('aria-invalid', 'true');
    else input.removeAttribute('aria-invalid');
    return reason;
  }

  const versionText = () => headerFields.querySelector('[data-kind="version"]')?.value ?? '';

  // need: whether the value must be there, said before its rule.
  function field(e, need, value) {
    const required = e.minOccurs > 0 && !need;
    const wrap = element('div', 'field');
    const input = element('input');
    input.id = 'field-' + e.name;
    input.type = 'text';
    input.autocomplete = 'off';
    input.spellcheck = false;
    input.dataset.element = e.name;
    input.dataset.kind = e.value;
    if (required) input.dataset.required = 'true';
    if (numbered(e)) input.inputMode = 'numeric';
    input.value = value ?? (e.value === 'version' ? game.version : '');
    const label = element('label', '', withoutStop(e.description) + ' ');
    label.htmlFor = input.id;
    label.append(element('code', '', e.name));
    const rule = element('p', 'rule',
      ruleText(e, need ?? (required ? 'Pflicht. ' : 'Freiwillig; leer lassen, wenn nicht gebraucht. ')));
    rule.id = input.id + '-rule';
    const verdict = element('p', 'verdict');
    verdict.id = input.id + '-verdict';
    verdict.setAttribute('aria-live', 'polite');
    input.setAttribute('aria-describedby', `${rule.id} ${verdict.id}`);
    input.addEventListener('input', () => {
      delete input.dataset.emptyList;
      judge(input);
      // A value that needs a version is held to the version as it now is.
      if (e.value === 'version') for (const other of headerInputs()) if (other !== input && other.value) judge(other);
    });
    wrap.append(label, input, rule, verdict);
    return wrap;
  }

  const headerInputs = () => [...headerFields.querySelectorAll('input')];

  // The header's values in the table's order, a group (<wimbel>) as a group
  // of its own; what was entered for a value stays when the game changes.
  function buildHeader(values) {
    headerFields.querySelectorAll(':scope > :not(legend)').forEach((node) => node.remove());
    const root = table.elements.find((e) => e.parent === '');
    for (const e of childrenOf(root.name)) {
      if (e.value === 'gameType' || e === ticketRow()) continue;
      if (e.value !== 'none') {
        headerFields.append(field(e, undefined, values.get(e.name)));
        continue;
      }
      const group = element('fieldset', 'group');
      const title = withoutStop(e.description);
      group.append(element('legend', '', title + ' (freiwillig)'));
      for (const child of childrenOf(e.name))
        group.append(field(child, child.minOccurs > 0 ? `Pflicht für „${title}“. ` : 'Freiwillig. ', values.get(child.name)));
      group.dataset.element = e.name;
      headerFields.append(group);
    }
    for (const input of headerInputs()) if (input.value) judge(input);
  }

  // -- Tips

  // A grid of the numbers 1 to maximum, a number chosen by a click, by
  // Space, or typed into the field below it; the arrow keys move in it.
  function numberGrid(part, place) {
    const group = element('fieldset', 'numbers');
    group.dataset.element = part.name;
    const shape = `${part.count} aus ${part.maximum}`;
    const described = withoutStop(part.description);
    const legend = element('legend', '', described.includes(shape) ? described : `${described}: ${shape}`);
    const cells = element('div', 'cells');
    const columns = [10, 9, 8, 7, 6].find((n) => part.maximum % n === 0) ?? 10;
    cells.style.setProperty('--columns', columns);
    const boxes = [];
    for (let number = 1; number <= part.maximum; ++number) {
      const cell = element('label', 'cell');
      const box = element('input');
      box.type = 'checkbox';
      box.value = String(number);
      box.tabIndex = number === 1 ? 0 : -1;
      cell.append(box, element('span', '', String(number)));
      cells.append(cell);
      boxes.push(box);
    }
    const typedId = freshId('typed');
    const typedLabel = element('label', 'typed-label', `Zahlen eintippen (${part.count}, durch Kommas getrennt)`);
    typedLabel.htmlFor = typedId;
    const typed = element('input', 'typed');
    typed.id = typedId;
    typed.type = 'text';
    typed.inputMode = 'numeric';
    typed.autocomplete = 'off';
    const state = element('p', 'state');
    state.setAttribute('aria-live', 'polite');
    group.append(legend, cells, typedLabel, typed, state);

    const chosen = () => boxes.filter((box) => box.checked).map((box) => Number(box.value));
    const show = (note) => {
      const count = chosen().length;
      state.textContent = note ?? (count === part.count ? `${fits}: ${count} von ${part.count}`
        : `${count} von ${part.count} gewählt`);
      state.classList.toggle('bad', Boolean(note));
      state.classList.toggle('open', !note && count < part.count);
      group.dataset.complete = count === part.count ? 'true' : '';
    };
    const set = (numbers) => {
      for (const box of boxes) box.checked = numbers.includes(Number(box.value));
      typed.value = chosen().join(', ');
      show();
      place.changed();
    };
    cells.addEventListener('change', ({ target }) => {
      let note;
      if (target.checked && chosen().length > part.count) {
        target.checked = false;
        note = `Schon ${part.count} gewählt: zuerst eine abwählen.`;
      }
      typed.value = chosen().join(', ');
      show(note);
      place.changed();
    });
    typed.addEventListener('input', () => {
      const numbers = (typed.value.match(/\d+/g) ?? []).map(Number);
      const outside = numbers.find((n) => n < 1 || n > part.maximum);
      const unique = [...new Set(numbers)].filter((n) => n >= 1 && n <= part.maximum);
      for (const box of boxes) box.checked = unique.slice(0, part.count).includes(Number(box.value));
      show(outside !== undefined ? `${outside} liegt nicht zwischen 1 und ${part.maximum}.`
        : unique.length > part.count ? `Mehr als ${part.count} Zahlen: nur die ersten zählen.` : undefined);
      place.changed();
    });
    // One stop for Tab; the arrows, Home and End move between the numbers.
    cells.addEventListener('keydown', (event) => {
      const at = boxes.indexOf(event.target);
      const moves = { ArrowRight: 1, ArrowLeft: -1, ArrowDown: columns, ArrowUp: -columns, Home: -at,
        End: boxes.length - 1 - at };
      if (at < 0 || !(event.key in moves)) return;
      const to = boxes[Math.min(Math.max(at + moves[event.key], 0), boxes.length - 1)];
      event.preventDefault();
      for (const box of boxes) box.tabIndex = box === to ? 0 : -1;
      to.focus();
    });
    show();
    return {
      node: group,
      value: chosen,
      set,
      quick: () => set(shuffled(Array.from({ length: part.maximum }, (_, i) => i + 1)).slice(0, part.count)),
      first: () => boxes.find((box) => box.tabIndex === 0),
    };
  }

  // Fields of symbols, one select each: the 18 games of a pool row, or the
  // goal-score pairs, home and away.
  function symbolFields(legendText, labels, symbols, place) {
    const group = element('fieldset', 'symbols');
    group.append(element('legend', '', legendText));
    const selects = labels.map((text) => {
      const id = freshId('field');
      const wrap = element('div', 'symbol');
      const label = element('label', '', text);
      label.htmlFor = id;
      const select = element('select');
      select.id = id;
      select.append(element('option', '', '–'));
      select.options[0].value = '';
      for (const [symbol, meaning] of symbols) {
        const option = element('option', '', `${symbol} (${meaning})`);
        option.value = symbol;
        select.append(option);
      }
      select.addEventListener('change', () => place.changed());
      wrap.append(label, select);
      group.append(wrap);
      return select;
    });
    return { node: group, selects, value: () => selects.map((select) => select.value),
      set: (values) => { selects.forEach((select, i) => { select.value = values[i] ?? ''; }); place.changed(); } };
  }

  function poolRow(part, place) {
    const labels = Array.from({ length: part.count }, (_, i) => `Spiel ${i + 1}`);
    const fields = symbolFields(`Reihe: ${part.count} Spiele`, labels, rowSymbols, place);
    // At random as the rule wants it: the first fields sure, the set number
    // of „-“ among the others.
    const quick = () => {
      const sure = rowSymbols.filter(([symbol]) => symbol !== '-').map(([symbol]) => symbol);
      const dashes = new Set(shuffled(Array.from({ length: part.count - part.minimum }, (_, i) => i + part.minimum))
        .slice(0, part.maximum));
      fields.set(Array.from({ length: part.count }, (_, i) => (dashes.has(i) ? '-' : sure[randomBelow(sure.length)])));
    };
    return { ...fields, value: () => fields.value(), quick, first: () => fields.selects[0] };
  }

  // One tip of the game, with its own state and buttons.
  function tipItem(ticket) {
    const item = element('li', 'tip');
    const box = element('fieldset', 'tip-box');
    const legend = element('legend');
    const state = element('p', 'state tip-state');
    state.setAttribute('aria-live', 'polite');
    const tip = tipRow();
    const place = { changed: () => judgeTip(item) };
    let parts;
    if (tip.value === 'poolRow') parts = [poolRow(tip, place)];
    else if (tip.value === 'numberList') parts = [numberGrid(tip, place)];
    else parts = childrenOf(tip.name).map((part) => numberGrid(part, place));
    const quick = element('button', 'quick', 'Quicktipp');
    quick.type = 'button';
    quick.addEventListener('click', () => parts.forEach((part) => part.quick()));
    const remove = element('button', 'remove', 'Tipp entfernen');
    remove.type = 'button';
    remove.addEventListener('click', () => removeTip(ticket, item));
    box.append(legend, ...parts.map((part) => part.node), state, quick, remove);
    item.append(box);
    item.tipParts = parts;
    item.state = state;
    return item;
  }

  // The tip alone made into data: the rule's verdict on it, as write gives it.
  async function judgeTip(item) {
    const asked = (judged.get(item) ?? 0) + 1;
    judged.set(item, asked);
    const missing = unchosen(item.tipParts);
    let reason = missing;
    if (!missing) {
      const answer = await ask({ kind: 'write', json: JSON.stringify({ wsArt: game.id,
        schein: [{ [tipRow().name]: [tipValue(item)] }] }) });
      reason = answer.reason ? answer.reason.replace(/^Schein 1, Tipp 1: /, '') : '';
    }
    if (judged.get(item) !== asked) return;
    item.state.textContent = reason || fits;
    item.state.classList.toggle('bad', Boolean(reason) && !missing);
    item.state.classList.toggle('open', Boolean(missing));
  }

  function unchosen(parts) {
    for (const part of parts) {
      if (part.selects) {
        const open = part.selects.filter((select) => !select.value).length;
        if (open) return open === 1 ? 'Ein Feld ist noch leer.' : `${open} Felder sind noch leer.`;
      } else if (part.node.dataset.complete !== 'true') {
        return `${part.value().length} von ${byName.get(part.node.dataset.element).count} Zahlen gewählt.`;
      }
    }
    return '';
  }

  function tipValue(item) {
    const tip = tipRow();
    if (tip.value !== 'none') return item.tipParts[0].value();
    return Object.fromEntries(item.tipParts.map((part) => [part.node.dataset.element, part.value()]));
  }

  function goalScorePart(ticket) {
    const goal = goalRow();
    const item = element('div', 'goal');
    const labels = [];
    for (let i = 1; i <= goal.count; ++i) labels.push(`Spiel ${i}: Heim`, `Spiel ${i}: Gast`);
    const place = { changed: () => judgeGoal(item) };
    const fields = symbolFields(withoutStop(goal.description), labels, pairSymbols, place);
    const quick = element('button', 'quick', 'Quicktipp');
    quick.type = 'button';
    quick.addEventListener('click', () => fields.set(labels.map(() => pairSymbols[randomBelow(pairSymbols.length)][0])));
    const remove = element('button', 'remove', 'Torwette entfernen');
    remove.type = 'button';
    remove.addEventListener('click', () => {
      ticket.goal = undefined;
      item.remove();
      ticket.goalButton.hidden = false;
      ticket.goalButton.focus();
    });
    const state = element('p', 'state');
    state.setAttribute('aria-live', 'polite');
    const actions = element('div', 'actions');
    actions.append(quick, remove);
    fields.node.append(state, actions);
    item.append(fields.node);
    item.fields = fields;
    item.state = state;
    return item;
  }

  const goalValue = (goal) => {
    const symbols = goal.fields.value();
    return symbols.filter((_, i) => i % 2 === 0).map((home, i) => home + symbols[2 * i + 1]);
  };

  // Every pair of the symbols keeps the rule: only what is not chosen yet
  // is said.
  function judgeGoal(goal) {
    const missing = unchosen([goal.fields]);
    goal.state.textContent = missing || fits;
    goal.state.classList.toggle('open', Boolean(missing));
  }

  // -- Tickets

  function renumber() {
    [...ticketList.children].forEach((ticket, t) => {
      ticket.heading.textContent = `Schein ${t + 1}`;
      const tips = [...ticket.tips.children];
      tips.forEach((tip, i) => {
        tip.querySelector('legend').textContent = `Schein ${t + 1}, Tipp ${i + 1}`;
      });
      ticket.addTip.disabled = tips.length >= tipRow().maxOccurs;
    });
    addTicketButton.disabled = ticketList.children.length >= ticketRow().maxOccurs;
  }

  function addTip(ticket, focus) {
    const item = tipItem(ticket);
    ticket.tips.append(item);
    renumber();
    judgeTip(item);
    if (focus) item.tipParts[0].first().focus();
    return item;
  }

  function removeTip(ticket, item) {
    const next = item.nextElementSibling ?? item.previousElementSibling;
    item.remove();
    renumber();
    (next ? next.tipParts[0].first() : ticket.addTip).focus();
  }

  function addGoal(ticket, focus) {
    ticket.goal = goalScorePart(ticket);
    ticket.goalButton.before(ticket.goal);
    ticket.goalButton.hidden = true;
    judgeGoal(ticket.goal);
    if (focus) ticket.goal.fields.selects[0].focus();
  }

  function addTicket(focus) {
    const ticket = element('li', 'ticket');
    const section = element('section');
    const heading = element('h4');
    heading.id = freshId('ticket');
    heading.tabIndex = -1;
    section.setAttribute('aria-labelledby', heading.id);
    const tips = element('ol', 'tips');
    const addTipButton = element('button', 'add-tip', 'Tipp hinzufügen');
    addTipButton.type = 'button';
    addTipButton.addEventListener('click', () => addTip(ticket, true));
    const remove = element('button', 'remove', 'Schein entfernen');
    remove.type = 'button';
    remove.addEventListener('click', () => {
      const next = ticket.nextElementSibling ?? ticket.previousElementSibling;
      ticket.remove();
      renumber();
      (next ? next.heading : addTicketButton).focus();
    });
    section.append(heading, tips, addTipButton);
    Object.assign(ticket, { heading, tips, addTip: addTipButton });
    if (goalRow()) {
      const goalButton = element('button', 'add-goal', 'Torwette hinzufügen');
      goalButton.type = 'button';
      goalButton.addEventListener('click', () => addGoal(ticket, true));
      ticket.goalButton = goalButton;
      section.append(goalButton);
    }
    section.append(remove);
    ticket.append(section);
    ticketList.append(ticket);
    renumber();
    if (focus) heading.focus();
    return ticket;
  }

  addTicketButton.addEventListener('click', () => addTip(addTicket(false), true));

  // -- The game

  function setGame(id, fresh = true) {
    const values = new Map(headerInputs().filter((input) => input.value).map((input) => [input.dataset.element,
      input.value]));
    if (game) {
      stash.set(game.id, [...ticketList.children]);
      if (values.get('versionsNr') === game.version) values.delete('versionsNr');
    }
    game = gameOf(id);
    for (const radio of gameChoice.querySelectorAll('input')) radio.checked = Number(radio.value) === id;
    buildHeader(values);
    ticketList.replaceChildren(...(fresh ? stash.get(id) ?? [] : []));
    if (fresh && ticketList.children.length === 0) addTip(addTicket(false), false);
    renumber();
    for (const part of [headerFields, ticketsPart, savePart]) part.hidden = false;
  }

  // -- Data both ways

  function collect() {
    const data = { wsArt: game.id };
    for (const input of headerInputs()) {
      const e = byName.get(input.dataset.element);
      const text = input.value;
      if (text === '' && !input.dataset.emptyList) continue;
      const value = e.value === 'filterCodes' ? (text === '' ? [] : text.split(','))
        : numbered(e) ? Number(text) : text;
      const group = input.closest('fieldset.group');
      if (group) (data[group.dataset.element] ??= {})[e.name] = value;
      else data[e.name] = value;
    }
    const tip = tipRow();
    data[ticketRow().name] = [...ticketList.children].map((ticket) => {
      const made = { [tip.name]: [...ticket.tips.children].map(tipValue) };
      if (ticket.goal) made[goalRow().name] = goalValue(ticket.goal);
      return made;
    });
    return data;
  }

  function fill(data) {
    setGame(data.wsArt, false);
    stash.delete(data.wsArt);
    for (const input of headerInputs()) {
      const e = byName.get(input.dataset.element);
      const group = input.closest('fieldset.group');
      const value = group ? data[group.dataset.element]?.[e.name] : data[e.name];
      input.value = value === undefined ? '' : Array.isArray(value) ? value.join(',') : String(value);
      if (Array.isArray(value) && value.length === 0) input.dataset.emptyList = 'true';
      if (input.value) judge(input);
    }
    for (const given of data[ticketRow().name]) {
      const ticket = addTicket(false);
      for (const value of given[tipRow().name]) {
        const item = addTip(ticket, false);
        if (tipRow().value === 'none') item.tipParts.forEach((part) => part.set(value[part.node.dataset.element]));
        else item.tipParts[0].set(value);
      }
      const goal = given[goalRow()?.name];
      if (goal) {
        addGoal(ticket, false);
        ticket.goal.fields.set(goal.flatMap((pair) => [...pair]));
      }
    }
    renumber();
  }

  // Where write found the fault: the field, the tip or the ticket, focused.
  function showFault(fault) {
    saveResult.replaceChildren(element('p', 'message bad', 'Nicht gespeichert: ' + fault.reason));
    const ticket = ticketList.children[(fault.ticket ?? 0) - 1];
    const tip = ticket?.tips.children[(fault.tip ?? 0) - 1];
    if (tip) tip.tipParts[0].first().focus();
    else if (ticket) ticket.heading.focus();
    else document.getElementById('field-' + fault.element)?.focus();
  }

  async function saveBytes(name, bytes) {
    if ('showSaveFilePicker' in window) {
      try {
        const handle = await window.showSaveFilePicker({ suggestedName: name, types: [fileType] });
        const out = await handle.createWritable();
        await out.write(bytes);
        await out.close();
        return handle.name;
      } catch (error) {
        if (error.name === 'AbortError') return undefined;
      }
    }
    download(name, bytes);
    return name;
  }

  async function save() {
    saveResult.replaceChildren(element('p', '', 'Speichere …'));
    for (const input of headerInputs()) {
      const reason = await judge(input);
      if (reason) return showFault({ reason: `${input.dataset.element}: ${reason}`, element: input.dataset.element });
    }
    for (const [t, ticket] of [...ticketList.children].entries()) {
      for (const [i, tip] of [...ticket.tips.children].entries()) {
        const missing = unchosen(tip.tipParts);
        if (missing) return showFault({ reason: `Schein ${t + 1}, Tipp ${i + 1}: ${missing}`, ticket: t + 1, tip: i + 1 });
      }
      const missing = ticket.goal && unchosen([ticket.goal.fields]);
      if (missing) return showFault({ reason: `Schein ${t + 1}: ${missing}`, ticket: t + 1 });
    }
    const made = await ask({ kind: 'write', json: JSON.stringify(collect()), crLf: crLf.checked });
    if (!made.bytes) return showFault(made);
    const name = (fileName.value.trim().replace(/\.tzv$/i, '') || newName) + suffix;
    const saved = await saveBytes(name, made.bytes);
    if (saved === undefined) {
      saveResult.replaceChildren(element('p', '', 'Nicht gespeichert.'));
      return;
    }
    const { record, summaryText } = await checkSaved(saved, made.bytes);
    const said = element('div', record.valid ? 'saved correct' : 'saved');
    said.append(element('p', '', `Gespeichert als „${saved}“.`), element('p', 'message', record.message));
    if (summaryText) said.append(element('p', 'summary', summaryText));
    if (!record.valid && record.reason) said.append(element('p', 'reason', 'Grund: ' + record.reason));
    saveResult.replaceChildren(said);
  }

  document.getElementById('save').addEventListener('click', () => save().catch(() => {
    saveResult.replaceChildren(element('p', 'message bad', 'Nicht gespeichert: Der Prüfer hat nicht geantwortet.'));
  }));

  // A correct file opens here; one with a violation in the checker, with
  // its repair.
  document.getElementById('open-file').addEventListener('change', async (event) => {
    const [file] = event.target.files;
    event.target.value = '';
    if (!file) return;
    let data = null;
    try {
      const bytes = await file.arrayBuffer();
      data = await ask({ kind: 'read', name: file.name, bytes }, [bytes]);
    } catch {
      data = null;
    }
    if (!data) {
      openInChecker(file);
      return;
    }
    fill(data);
    fileName.value = file.name.replace(/\.tzv$/, '');
    saveResult.replaceChildren();
    status.textContent = `„${file.name}“ geöffnet: ${data[ticketRow().name].length} Scheine, ${game.title}.`;
  });

  ask({ kind: 'table' }).then((given) => {
    table = given;
    byName = new Map(table.elements.map((e) => [e.name, e]));
    for (const each of table.games) {
      const label = element('label', 'inline');
      const radio = element('input');
      radio.type = 'radio';
      radio.name = 'game';
      radio.value = String(each.id);
      radio.addEventListener('change', () => setGame(each.id));
      label.append(radio, ` ${each.title} (${each.id})`);
      gameChoice.append(label);
    }
  }, () => {
    status.textContent = 'Der Editor ließ sich nicht laden. Bitte die Seite neu laden.';
  });
}
