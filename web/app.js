"use strict";
// The station's grid in a browser: the same rows, colours and orders as the
// operator's window, through the station's HTTP interface (docs/web.md).
// Plain script, no build step and nothing fetched from elsewhere: the shop's
// PC may have no internet.

const kColumns = 5;
const kKeptNotices = 50;
const kPollMs = 1000;
const kRetryMs = 2000;

const page = {
  machines: new Map(), // n -> { machine (as the grid gave it), row, cells[] }
  token: sessionStorage.getItem("zova-token") || "",
  tokenAsked: null, // the prompt in progress, shared by every request that met a 401
  stream: null,
  shownNotices: new Set(),
};

const $ = (id) => document.getElementById(id);

// ---- Talking to the station ----

function withToken(options = {}) {
  const headers = new Headers(options.headers || {});
  if (page.token) headers.set("Authorization", "Bearer " + page.token);
  return { ...options, headers, cache: "no-store" };
}

async function askToken() {
  if (!page.tokenAsked) {
    page.tokenAsked = ask({
      title: "WebToken",
      text: page.token
        ? "Stasjonen godtok ikke WebToken. Prøv igjen."
        : "Stasjonen krever WebToken.",
      input: { label: "WebToken", type: "password" },
    }).then(
      (token) => {
        page.tokenAsked = null;
        page.token = token ? token.trim() : "";
        if (page.token) sessionStorage.setItem("zova-token", page.token);
        else sessionStorage.removeItem("zova-token");
        return page.token !== "";
      },
      () => {
        page.tokenAsked = null;
        return false;
      },
    );
  }
  return page.tokenAsked;
}

// Fetch that asks for the token when the station wants one, and tries again
// with it; a cancelled prompt hands back the 401.
async function request(path, options) {
  for (;;) {
    const res = await fetch(path, withToken(options));
    if (res.status !== 401 || !(await askToken())) return res;
  }
}

async function refusal(res) {
  return Object.assign(new Error(await answerText(res)), { status: res.status });
}

async function getJson(path) {
  const res = await request(path);
  if (!res.ok) throw await refusal(res);
  return res.json();
}

// A station that wants a token the operator did not give is not asked again
// and again: a reload asks once more.
function lost(e) {
  if (e.status === 401) {
    setConnection("lost", "Stasjonen krever WebToken – last siden på nytt for å oppgi den");
    return false;
  }
  const why = e.status ? ` (${e.message})` : "";
  setConnection("lost", `Ingen forbindelse med stasjonen${why} – prøver igjen …`);
  return true;
}

async function answerText(res) {
  try {
    const data = await res.json();
    if (typeof data.text === "string") return data.text;
  } catch (e) {
    // Not the station's JSON (a proxy's page, say): the status says enough.
  }
  return "Svar " + res.status;
}

async function order(n, what, body) {
  const name = machineName(n);
  try {
    const res = await request(`api/machines/${n}/${what}`, {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify(body || {}),
    });
    showAnswer(res.ok, `${name}: ${await answerText(res)}`);
    return res.ok;
  } catch (e) {
    showAnswer(false, `${name}: Ingen forbindelse med stasjonen`);
    return false;
  }
}

function showAnswer(ok, text) {
  const line = $("answer");
  line.textContent = text;
  line.classList.toggle("error", !ok);
}

function setConnection(state, text) {
  const line = $("connection");
  line.dataset.state = state;
  line.textContent = text;
}

// ---- Live updates ----

// Without a token the station's event stream carries every change. A token
// cannot go with EventSource (it sets no headers), so then the page asks for
// the whole grid once a second instead.
async function connect() {
  if (page.stream) page.stream.close();
  page.stream = null;
  try {
    const open = await fetch("api/grid", { cache: "no-store" });
    if (open.ok) {
      showGrid(await open.json());
      return openStream();
    }
    if (open.status !== 401) throw await refusal(open);
    showGrid(await getJson("api/grid"));
    poll();
  } catch (e) {
    if (lost(e)) setTimeout(connect, kRetryMs);
  }
}

async function poll() {
  try {
    showGrid(await getJson("api/grid"));
    showNotices(await getJson("api/notices"));
    const how = page.token ? " (med WebToken)" : "";
    setConnection("polling", "Oppdateres hvert sekund" + how);
  } catch (e) {
    if (!lost(e)) return;
  }
  setTimeout(poll, kPollMs);
}

function openStream() {
  const stream = new EventSource("api/events");
  let started = false;
  page.stream = stream;
  const on = (name, handle) =>
    stream.addEventListener(name, (e) => handle(JSON.parse(e.data)));
  on("grid", (grid) => {
    started = true;
    showGrid(grid);
    setConnection("live", "Direkte fra stasjonen");
    getJson("api/notices").then(showNotices, () => {});
  });
  on("cell", (c) => setCell(c.n, c.col, c.text));
  on("state", (s) => setState(s.n, s.state));
  on("active", (a) => ($("active").textContent = a.text));
  on("console", (c) => showConsole(c.lines));
  on("notice", (n) => addNotice(n, true));
  stream.onerror = () => {
    setConnection("lost", "Forbindelsen er brutt – prøver igjen …");
    // The browser retries a dropped stream itself; a refused one it gives up.
    // Refused from the start (too many watch already), the page polls instead.
    if (stream.readyState === EventSource.CLOSED && page.stream === stream) {
      page.stream = null;
      setTimeout(started ? connect : poll, kRetryMs);
    }
  };
}

// ---- The grid ----

function stateClass(code) {
  // The window's colours: 32 is DSR, 16 is CTS; 255 means no line state.
  if (code === undefined || code === 255) return "state-none";
  if (!(code & 32)) return "state-red";
  return code & 16 ? "state-green" : "state-yellow";
}

function machineName(n) {
  const m = page.machines.get(n);
  return m ? m.cells[0].textContent || `Maskin ${n}` : `Maskin ${n}`;
}

// The file part of the Filnavn cell, without the window's trailing "!".
function fileNameOf(cell) {
  const name = cell.replace(/!$/, "");
  return name.slice(Math.max(name.lastIndexOf("/"), name.lastIndexOf("\\")) + 1);
}

function showGrid(grid) {
  const heads = document.querySelectorAll("#grid thead th");
  grid.headings.forEach((h, i) => heads[i] && (heads[i].textContent = h));
  const numbers = grid.machines.map((m) => m.n).join();
  if (numbers !== [...page.machines.keys()].join()) buildRows(grid.machines);
  for (const m of grid.machines) {
    m.cells.forEach((text, col) => setCell(m.n, col, text));
    setState(m.n, m.state);
  }
  $("active").textContent = grid.active;
  showConsole(grid.console);
}

function buildRows(machines) {
  const body = $("grid").tBodies[0];
  body.replaceChildren();
  page.machines.clear();
  for (const machine of machines) {
    const row = body.insertRow();
    row.dataset.machine = machine.n;
    const cells = [];
    for (let col = 0; col < kColumns; ++col) {
      const cell = document.createElement(col === 0 ? "th" : "td");
      if (col === 0) cell.scope = "row";
      cell.dataset.col = col;
      row.append(cell);
      cells.push(cell);
    }
    const actions = row.insertCell();
    actions.className = "actions";
    page.machines.set(machine.n, { machine, row, cells });
    addActions(actions, machine);
  }
}

function addActions(cell, m) {
  const button = (text, what, handler, enabled = true) => {
    const b = document.createElement("button");
    b.type = "button";
    b.textContent = text;
    b.dataset.order = what;
    b.disabled = !enabled;
    b.addEventListener("click", () => handler(m.n));
    cell.append(b);
  };
  if (!m.command) button("Velg fil", "file", chooseFile);
  button("Send", "send", send, m.active);
  if (m.twoWay) button("Hent", "fetch", fetchProgram, m.active);
  button("Avbryt", "cancel", (n) => order(n, "cancel"));
  button("Restart", "restart", (n) => order(n, "restart"));
  const label = document.createElement("label");
  label.className = "switch";
  const box = document.createElement("input");
  box.type = "checkbox";
  box.dataset.order = "blokkvis";
  // The interface tells what it was set to, never what it is.
  box.indeterminate = true;
  box.title = "Ukjent til den er satt her";
  box.addEventListener("change", () => toggle(box, (on) => order(m.n, "blokkvis", { on })));
  label.append(box, " Blokkvis");
  cell.append(label);
}

function setCell(n, col, text) {
  const m = page.machines.get(n);
  if (!m || col < 0 || col >= kColumns) return;
  m.cells[col].textContent = text;
  if (col === 0) {
    for (const b of m.row.querySelectorAll("button, input"))
      b.setAttribute("aria-label", `${b.textContent || "Blokkvis"} – ${text}`);
  }
}

function setState(n, code) {
  const m = page.machines.get(n);
  if (!m) return;
  m.row.dataset.state = code;
  m.row.className = stateClass(code);
}

function showConsole(lines) {
  $("console").textContent = lines.join("\n");
}

function noticeKey(n) {
  return `${n.time}\u0000${n.caption}\u0000${n.text}`;
}

function addNotice(n, newest) {
  const key = noticeKey(n);
  if (page.shownNotices.has(key)) return;
  page.shownNotices.add(key);
  const item = document.createElement("li");
  const time = document.createElement("time");
  time.textContent = n.time;
  const caption = document.createElement("strong");
  caption.textContent = n.caption;
  item.append(time, " ", caption, " ", n.text);
  const list = $("notices");
  if (newest) list.prepend(item);
  else list.append(item);
  while (list.children.length > kKeptNotices) list.lastElementChild.remove();
}

function showNotices(list) {
  $("notices").replaceChildren();
  page.shownNotices.clear();
  for (const n of [...list].reverse()) addNotice(n, false);
}

// ---- Orders ----

async function toggle(box, post) {
  const wanted = box.checked;
  box.disabled = true;
  const ok = await post(wanted);
  box.disabled = false;
  box.checked = ok ? wanted : !wanted;
  if (!ok) box.indeterminate = true;
}

async function chooseFile(n) {
  let files;
  try {
    files = (await getJson(`api/machines/${n}/files`)).files;
  } catch (e) {
    return showAnswer(false, `${machineName(n)}: ${e.message}`);
  }
  if (!files.length) return showAnswer(false, `${machineName(n)}: Ingen filer i katalogen`);
  const current = fileNameOf(page.machines.get(n).cells[1].textContent);
  const name = await ask({
    title: "Velg fil",
    text: `Fil til ${machineName(n)}`,
    choices: files,
    value: current,
  });
  if (name !== null) await order(n, "file", { name });
}

async function send(n) {
  const m = page.machines.get(n);
  const name = machineName(n);
  if (m.machine.command) {
    const text = await ask({
      title: "Kommando",
      text: `Sende kommando til ${name}`,
      input: { label: "Kommando" },
    });
    if (text !== null) await order(n, "command", { text });
    return;
  }
  const file = fileNameOf(m.cells[1].textContent);
  // With no file chosen the station's own answer says so.
  if (file) {
    const sure = await ask({ title: `Sende fil til ${name}`, text: `Filen ${file} vil bli sendt` });
    if (sure === null) return;
  }
  await order(n, "send");
}

async function fetchProgram(n) {
  const name = await ask({
    title: `Hente fra ${machineName(n)}`,
    text: "Navnet programmet skal lagres under",
    input: { label: "Navn", value: fileNameOf(page.machines.get(n).cells[1].textContent) },
  });
  if (name !== null) await order(n, "fetch", { name });
}

// ---- The question box ----

// Resolves to the text typed or picked ("" without a field), or null when the
// operator chose Avbryt or pressed Escape. One box at a time: a question that
// comes while another is open (the token, say) waits for it.
let asked = Promise.resolve();
function ask(question) {
  const next = asked.then(() => askNow(question));
  asked = next.catch(() => {});
  return next;
}

function askNow({ title, text, input, choices, value }) {
  const box = $("ask");
  $("ask-title").textContent = title;
  $("ask-text").textContent = text;
  const field = $("ask-input");
  const pick = $("ask-choices");
  $("ask-field").hidden = !input;
  $("ask-pick").hidden = !choices;
  field.required = !!input;
  pick.required = !!choices;
  if (input) {
    $("ask-label").textContent = input.label;
    field.type = input.type || "text";
    field.value = input.value || "";
  }
  pick.replaceChildren();
  for (const c of choices || []) pick.add(new Option(c, c, false, c === value));
  if (choices && pick.selectedIndex < 0) pick.selectedIndex = 0;
  box.returnValue = "";
  return new Promise((resolve) => {
    box.addEventListener(
      "close",
      () => {
        if (box.returnValue !== "ok") return resolve(null);
        resolve(input ? field.value.trim() : choices ? pick.value : "");
      },
      { once: true },
    );
    box.showModal();
    (input ? field : choices ? pick : $("ask-ok")).focus();
  });
}

// ---- Start ----

document.addEventListener("DOMContentLoaded", () => {
  $("ask-choices").addEventListener("dblclick", () =>
    $("ask").querySelector("form").requestSubmit($("ask-ok")),
  );
  $("logging").indeterminate = true;
  $("logging").title = "Ukjent til den er satt her";
  $("logging").addEventListener("change", (e) =>
    toggle(e.target, async (on) => {
      try {
        const res = await request("api/logging", {
          method: "POST",
          headers: { "Content-Type": "application/json" },
          body: JSON.stringify({ on }),
        });
        showAnswer(res.ok, await answerText(res));
        return res.ok;
      } catch (err) {
        showAnswer(false, "Ingen forbindelse med stasjonen");
        return false;
      }
    }),
  );
  $("colours").addEventListener("change", (e) =>
    document.body.classList.toggle("no-colours", !e.target.checked),
  );
  connect();
});
