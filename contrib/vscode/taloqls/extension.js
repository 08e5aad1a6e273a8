// Starts taloqls for the Taloq files of the workspace. The client offers
// to watch files for the server, which asks for *.tlq, *.tlqprj and
// *.tlqcfg, so files changed outside the editor are checked again too.
const vscode = require("vscode");
const { LanguageClient, TransportKind } = require("vscode-languageclient/node");

let client;

function activate() {
  const command = vscode.workspace.getConfiguration("taloq").get("server.path", "taloqls");
  client = new LanguageClient(
    "taloqls",
    "Taloq",
    { command, transport: TransportKind.stdio },
    {
      documentSelector: [
        { scheme: "file", language: "taloq" },
        { scheme: "untitled", language: "taloq" },
      ],
    },
  );
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
