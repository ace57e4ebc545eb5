"use strict";
// The live page: the report page (output/report.html) drawing a session while
// it is played, with the report's own drawing (PanelReport). The session's
// records, the lines it took and the state of its component come as
// server-sent events; everything done here goes to the session as a line of
// the scenario language (POST line), played like any other step: a control of
// the panel clicked is "press PANEL CONTROL", the forms make "command",
// "timer", "dbchange", "revertive", "load" and "destroy" lines.
(function () {
const data = JSON.parse(document.getElementById("run-data").textContent);
const run = data.runs[0];
const setup = data.live;
const { el, form } = PanelReport;
let state = null;
const sent = []; // parent commands sent, newest first

// A typed text as the scenario writes it: its UTF-8 bytes, in the language's
// escapes where they are not printable.
const bytes = (s) => Array.from(new TextEncoder().encode(s), (b) => String.fromCharCode(b)).join("");
const text = (s) => form(bytes(s));
// The component's own texts come as bytes, one code point each: offered as the
// text they spell in UTF-8, so that choosing one sends its bytes again; bytes
// that are no UTF-8 stay as they came.
const typed = (s) => {
  try {
    return new TextDecoder("utf-8", { fatal: true }).decode(Uint8Array.from(s, (c) => c.charCodeAt(0)));
  } catch (notUtf8) {
    return s;
  }
};
const suggestions = setup.suggestions.map(typed);

// --- what the session is sent --------------------------------------------
async function post(path, body) {
  let response;
  try {
    response = await fetch(path, { method: "POST", body: body || "",
                                   headers: { "Content-Type": "text/plain; charset=utf-8" } });
  } catch (failure) {
    return { ok: false, answer: { error: "panelhost does not answer: " + failure.message } };
  }
  const answer = await response.json().catch(() => ({ error: `${response.status} ${response.statusText}` }));
  return { ok: response.ok, answer };
}

function tell(message, bad) {
  const note = document.getElementById("live-note");
  note.textContent = message;
  note.className = bad ? "live-note bad" : "live-note";
}

async function play(line) {
  const { ok, answer } = await post("line", line);
  tell(ok ? `line ${answer.line}: ${line}` : answer.error, !ok);
  return ok;
}

// --- the bar above the run -----------------------------------------------
function field(name, attributes) {
  return el("input", Object.assign({ name, "aria-label": name, autocomplete: "off" }, attributes || {}));
}

function liveForm(id, label, fields, button, makeLine) {
  const node = el("form", { id, class: "live-form" }, el("span", { class: "live-label" }, label), fields,
                  el("button", { type: "submit" }, button));
  node.addEventListener("submit", async (event) => {
    event.preventDefault();
    const values = Object.fromEntries(new FormData(node).entries());
    const line = makeLine(values);
    if (line && await play(line)) node.dispatchEvent(new CustomEvent("played", { detail: values }));
  });
  return node;
}

const numbers = (values, names) => names.map((name) => String(values[name] || "").trim());

function drawBar() {
  const commands = el("datalist", { id: "live-commands" });
  const command = liveForm("live-command", "parent command",
    field("text", { list: "live-commands", size: 28, placeholder: "key=value" }), "Send",
    (v) => "command " + (v.text === "" ? "\"\"" : text(v.text)));
  command.addEventListener("played", (event) => {
    const given = event.detail.text;
    sent.splice(0, sent.length, given, ...sent.filter((s) => s !== given));
    command.querySelector("input").value = "";
    fillCommands(commands);
  });
  fillCommands(commands);
  const timer = liveForm("live-timer", "timer", field("id", { type: "number", value: "1", size: 5 }), "Fire",
    (v) => "timer " + numbers(v, ["id"])[0]);
  const dbchange = liveForm("live-dbchange", "names database",
    [field("device", { type: "number", size: 5, placeholder: "device" }),
     field("database", { type: "number", size: 4, placeholder: "db" }),
     field("index", { type: "number", size: 5, placeholder: "index" }), " = ",
     field("name", { size: 16, placeholder: "new name" })], "Change",
    (v) => `dbchange ${numbers(v, ["device", "database", "index"]).join(" ")} = ${text(v.name)}`);
  const revertive = liveForm("live-revertive", "revertive",
    [field("device", { type: "number", size: 5, placeholder: "device" }),
     field("destination", { type: "number", size: 5, placeholder: "dest" }),
     field("source", { type: "number", size: 5, placeholder: "source" })], "Send",
    (v) => ["revertive", ...numbers(v, ["device", "destination", "source"])].join(" ").trim());
  const line = liveForm("live-line", "scenario line", field("line", { size: 40, placeholder: "any line of the language" }),
    "Play", (v) => v.line);
  line.addEventListener("played", () => { line.querySelector("input").value = ""; });
  const save = liveForm("live-save", "save as scenario", field("file", { size: 28, value: setup.record }), "Save",
    () => null);
  save.addEventListener("submit", async () => {
    const { ok, answer } = await post("save", new FormData(save).get("file"));
    tell(ok ? `saved to ${answer.file}: ${answer.expectations} expectation lines` : answer.error, !ok);
  });
  const button = (id, label, action) => {
    const node = el("button", { id, type: "button" }, label);
    node.addEventListener("click", action);
    return node;
  };
  const bar = el("section", { id: "live", class: "card live", "aria-label": "drive the session" },
    el("div", { class: "live-head" }, el("span", { id: "live-state", role: "status" }, "starting"),
       button("live-restart", "Restart the component", async () => {
         const { ok, answer } = await post("restart");
         tell(ok ? "restarted: the world facts replayed, no step" : answer.error, !ok);
       }),
       button("live-load", "load", () => play("load")),
       button("live-destroy", "destroy", () => play("destroy")),
       button("live-quit", "Quit", async () => {
         const { ok, answer } = await post("quit");
         tell(ok ? "ending the session" : answer.error, !ok);
       })),
    el("p", { class: "dim live-hint" }, "Click a control of the panel to press it."),
    command, commands, timer, dbchange, revertive, line, save,
    el("p", { id: "live-note", class: "live-note", "aria-live": "polite" }));
  document.getElementById("summary").after(el("div", { class: "live-wrap" }, bar));
}

function fillCommands(list) {
  const options = [...sent, ...suggestions.filter((s) => !sent.includes(s))];
  list.replaceChildren(...options.map((value) => el("option", { value })));
}

function showState() {
  const shown = document.getElementById("live-state");
  const restart = document.getElementById("live-restart");
  restart.hidden = !state.restartable;
  if (state.child === "running") shown.textContent = `The component runs (life ${state.life}).`;
  else if (state.child === "over") shown.textContent = "The session has ended.";
  else shown.textContent = "The component is not running: " + form(state.how || "it ended") + ".";
  shown.className = state.child === "running" ? "" : "bad";
  for (const node of document.querySelectorAll("#live form button, #live-load, #live-destroy, #live-quit")) {
    node.disabled = state.child === "over";
  }
}

// --- the run, drawn again as it grows ------------------------------------
let pending = false;
function redraw() {
  if (pending) return;
  pending = true;
  requestAnimationFrame(() => {
    pending = false;
    const records = run.records.some((r) => r.type === "summary") || !state ? run.records
                                                                              : [...run.records, state.summary];
    PanelReport.draw(Object.assign({}, data, { status: state ? state.status : 0,
                                               runs: [Object.assign({}, run, { records })] }));
  });
}

// A control of the panel after the last step is pressed by a click; in a
// session that names instances, the press is for the instance whose panel it is.
document.getElementById("report").addEventListener("click", (event) => {
  const control = event.target.closest(".final .control");
  if (!control || event.target.closest("a")) return;
  const panel = control.closest(".panel");
  const holder = control.closest(".instance");
  const instance = holder ? holder.dataset.instance : "";
  const last = [...run.records].reverse().find((r) => r.type === "state" && (r.instance || "") === instance);
  const shown = PanelReport.printable;
  const found = last && last.panels.find((p) => shown(p.panel) === panel.dataset.panel);
  const named = found && found.controls.find((c) => shown(c.name) === control.dataset.control);
  if (named) play(`${instance ? instance + ": " : ""}press ${form(found.panel)} ${form(named.name)}`);
});

const style = document.createElement("style");
style.textContent = `
.live-wrap { max-width: 1240px; margin: 10px auto 0; padding: 0 16px; }
.live { display: flex; flex-wrap: wrap; gap: 6px 18px; align-items: center; }
.live-head { flex-basis: 100%; display: flex; flex-wrap: wrap; gap: 8px; align-items: center; }
.live-head #live-state { font-weight: 600; margin-right: auto; }
.live-head .bad, .live-note.bad { color: var(--bad); }
.live-form { display: flex; gap: 4px; align-items: center; }
.live-label { color: var(--dim); font-size: 13px; }
.live-hint { flex-basis: 100%; margin: 0; font-size: 13px; }
.live-note { flex-basis: 100%; margin: 0; font-family: var(--mono); font-size: 13px; min-height: 1.4em; }
.live input { font: 13px var(--mono); }
.live input[type=number] { width: 6.5em; }
.final .control { cursor: pointer; }
.final .control:hover { box-shadow: 0 0 0 2px var(--focus); }`;
document.head.append(style);
drawBar();

const events = new EventSource("events");
events.addEventListener("record", (event) => { run.records.push(JSON.parse(event.data)); redraw(); });
events.addEventListener("line", (event) => {
  const taken = JSON.parse(event.data);
  run.lines[taken.line - 1] = taken.text;
});
events.addEventListener("state", (event) => {
  state = JSON.parse(event.data);
  showState();
  redraw();
  if (state.child === "over") events.close();
});
// A stream refused (panelhost serves a few pages of a session at once) is not
// tried again by the browser: the page says why it stands still.
events.addEventListener("error", () => {
  if (events.readyState === EventSource.CLOSED && !(state && state.child === "over")) {
    tell("this page gets nothing from the session: as many of its pages as panelhost serves are " +
         "open already; close one and reload this page", true);
  }
});
}());
