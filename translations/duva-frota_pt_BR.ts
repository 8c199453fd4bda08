<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>Duplicates</name>
    <message>
        <source>The address %1 is also held by serial number %2: only one module can be reached at an address.</source>
        <translation>O endereço %1 também é usado pelo número de série %2: só um módulo pode ser alcançado em um endereço.</translation>
    </message>
    <message>
        <source>The serial number %1 is also held by the module at %2: a plan cannot tell them apart.</source>
        <translation>O número de série %1 também é usado pelo módulo em %2: um plano não consegue distingui-los.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Parts of the window</source>
        <translation>Partes da janela</translation>
    </message>
    <message>
        <source>Modules</source>
        <translation>Módulos</translation>
    </message>
    <message>
        <source>Plan</source>
        <translation>Plano</translation>
    </message>
    <message>
        <source>Modules are commissioned with duvactl commission in this version; the Commissioning tab is coming.</source>
        <translation>Nesta versão, os módulos são comissionados com duvactl commission; a aba Comissionamento virá em breve.</translation>
    </message>
    <message>
        <source>Commissioning</source>
        <translation>Comissionamento</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <source>&amp;Modules</source>
        <translation>&amp;Módulos</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>&amp;Registro</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Sair</translation>
    </message>
    <message>
        <source>&amp;Plan</source>
        <translation>&amp;Plano</translation>
    </message>
</context>
<context>
    <name>ModulesModel</name>
    <message>
        <source>neither</source>
        <translation>nenhum</translation>
    </message>
</context>
<context>
    <name>ModulesTab</name>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Procurar</translation>
    </message>
    <message>
        <source>Search for modules through the adapter chosen (%1)</source>
        <translation>Procurar módulos pelo adaptador escolhido (%1)</translation>
    </message>
    <message>
        <source>Cance&amp;l</source>
        <translation>Ca&amp;ncelar</translation>
    </message>
    <message>
        <source>Export CS&amp;V...</source>
        <translation>Exportar CS&amp;V...</translation>
    </message>
    <message>
        <source>Export for E&amp;xcel...</source>
        <translation>Exportar para E&amp;xcel...</translation>
    </message>
    <message>
        <source>&amp;Filter</source>
        <translation>&amp;Filtrar</translation>
    </message>
    <message>
        <source>Every adapter</source>
        <translation>Todos os adaptadores</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Adaptador</translation>
    </message>
    <message>
        <source>&amp;Adapter:</source>
        <translation>A&amp;daptador:</translation>
    </message>
    <message>
        <source>Filter the modules shown</source>
        <translation>Filtrar os módulos mostrados</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtro</translation>
    </message>
    <message>
        <source>Modules found</source>
        <translation>Módulos encontrados</translation>
    </message>
    <message>
        <source>Search status</source>
        <translation>Situação da procura</translation>
    </message>
    <message>
        <source>Searching (request %1 of %2)...</source>
        <translation>Procurando (pedido %1 de %2)...</translation>
    </message>
    <message>
        <source>No network: no adapter but loopback is up with an IPv4 address.</source>
        <translation>Sem rede: nenhum adaptador além do loopback está ativo com um endereço IPv4.</translation>
    </message>
    <message>
        <source>The search could not be sent: %1</source>
        <translation>A procura não pôde ser enviada: %1</translation>
    </message>
    <message>
        <source>No module answered.</source>
        <translation>Nenhum módulo respondeu.</translation>
    </message>
    <message>
        <source>Export for Excel</source>
        <translation>Exportar para Excel</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exportar CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Arquivos CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 não pôde ser gravado: %2</translation>
    </message>
    <message>
        <source>Modules found: %1.</source>
        <translation>Módulos encontrados: %1.</translation>
    </message>
    <message>
        <source>Modules shown: %1 of %2.</source>
        <translation>Módulos mostrados: %1 de %2.</translation>
    </message>
    <message>
        <source>Marked, sharing an address or a serial number: %1.</source>
        <translation>Marcados, com endereço ou número de série repetido: %1.</translation>
    </message>
    <message>
        <source>Modules exported to %1: %2.</source>
        <translation>Módulos exportados para %1: %2.</translation>
    </message>
</context>
<context>
    <name>PlanDelegate</name>
    <message>
        <source>address, as 10.0.0.21</source>
        <translation>endereço, como 10.0.0.21</translation>
    </message>
    <message>
        <source>whole number</source>
        <translation>número inteiro</translation>
    </message>
    <message>
        <source>1 or 0</source>
        <translation>1 ou 0</translation>
    </message>
    <message>
        <source>client or server</source>
        <translation>client ou server</translation>
    </message>
    <message>
        <source>text</source>
        <translation>texto</translation>
    </message>
</context>
<context>
    <name>PlanTab</name>
    <message>
        <source>Plans (*.csv *.json);;All files (*)</source>
        <translation>Planos (*.csv *.json);;Todos os arquivos (*)</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Aplicar</translation>
    </message>
    <message>
        <source>No plan open.</source>
        <translation>Nenhum plano aberto.</translation>
    </message>
    <message>
        <source>&amp;Open plan...</source>
        <translation>&amp;Abrir plano...</translation>
    </message>
    <message>
        <source>Plan from modules &amp;found</source>
        <translation>Plano dos módulos &amp;encontrados</translation>
    </message>
    <message>
        <source>&amp;Save plan...</source>
        <translation>&amp;Salvar plano...</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
    <message>
        <source>Save the plan and apply it with duvactl apply; applying from this window is coming.</source>
        <translation>Salve o plano e aplique-o com duvactl apply; aplicar por esta janela virá em breve.</translation>
    </message>
    <message>
        <source>Plan</source>
        <translation>Plano</translation>
    </message>
    <message>
        <source>Refused cells</source>
        <translation>Células recusadas</translation>
    </message>
    <message>
        <source>Plan status</source>
        <translation>Situação do plano</translation>
    </message>
    <message numerus="yes">
        <source>Plan %1: %n module(s).</source>
        <translation>
            <numerusform>Plano %1: %n módulo.</numerusform>
            <numerusform>Plano %1: %n módulos.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A plan of the %n module(s) found, with their current values.</source>
        <translation>
            <numerusform>Um plano do %n módulo encontrado, com seus valores atuais.</numerusform>
            <numerusform>Um plano dos %n módulos encontrados, com seus valores atuais.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open plan</source>
        <translation>Abrir plano</translation>
    </message>
    <message>
        <source>%1 is not opened:
%2</source>
        <translation>%1 não foi aberto:
%2</translation>
    </message>
    <message>
        <source>Save plan</source>
        <translation>Salvar plano</translation>
    </message>
    <message>
        <source>%1 is not saved: %2</source>
        <translation>%1 não foi salvo: %2</translation>
    </message>
</context>
<context>
    <name>PortMessage</name>
    <message>
        <source>UDP port %1 of this computer is taken by another program, so the modules&apos; replies cannot reach Frota DUVA and searching is off. Close the DUVA Module Configurator window and any duvactl command that is running (only one of them can use the port at a time), then start Frota DUVA again.</source>
        <translation>A porta UDP %1 deste computador está ocupada por outro programa, então as respostas dos módulos não chegam ao Frota DUVA e a procura está desligada. Feche a janela do Configurador Módulos DUVA e qualquer comando duvactl em execução (só um deles pode usar a porta de cada vez) e abra o Frota DUVA novamente.</translation>
    </message>
</context>
<context>
    <name>RecordModel</name>
    <message>
        <source>confirmed</source>
        <translation>confirmado</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>não confirmado</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>recusado</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>pulado</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Operador</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Número de série</translation>
    </message>
    <message>
        <source>Address before</source>
        <translation>Endereço antes</translation>
    </message>
    <message>
        <source>Address after</source>
        <translation>Endereço depois</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Situação</translation>
    </message>
    <message>
        <source>Writes sent</source>
        <translation>Gravações enviadas</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Motivo</translation>
    </message>
</context>
<context>
    <name>RecordReport</name>
    <message>
        <source>Commissioning report</source>
        <translation>Relatório de comissionamento</translation>
    </message>
    <message>
        <source>the PDF could not be started</source>
        <translation>o PDF não pôde ser iniciado</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Página %1</translation>
    </message>
    <message>
        <source>Site:</source>
        <translation>Local:</translation>
    </message>
    <message>
        <source>Operator:</source>
        <translation>Operador:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Data:</translation>
    </message>
    <message>
        <source>Modules:</source>
        <translation>Módulos:</translation>
    </message>
    <message>
        <source>the PDF could not be finished</source>
        <translation>o PDF não pôde ser concluído</translation>
    </message>
</context>
<context>
    <name>RecordTab</name>
    <message>
        <source>No record open.</source>
        <translation>Nenhum registro aberto.</translation>
    </message>
    <message>
        <source>&amp;Open record...</source>
        <translation>A&amp;brir registro...</translation>
    </message>
    <message>
        <source>Export record as CS&amp;V...</source>
        <translation>Exportar registro como CS&amp;V...</translation>
    </message>
    <message>
        <source>Export record as &amp;JSON...</source>
        <translation>Exportar registro como &amp;JSON...</translation>
    </message>
    <message>
        <source>&amp;Print report (PDF)...</source>
        <translation>&amp;Imprimir relatório (PDF)...</translation>
    </message>
    <message>
        <source>Site name</source>
        <translation>Nome do local</translation>
    </message>
    <message>
        <source>Where the modules were commissioned</source>
        <translation>Onde os módulos foram comissionados</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Operador</translation>
    </message>
    <message>
        <source>Record file</source>
        <translation>Arquivo de registro</translation>
    </message>
    <message>
        <source>Record entries</source>
        <translation>Entradas do registro</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>&amp;Local:</translation>
    </message>
    <message>
        <source>O&amp;perator:</source>
        <translation>&amp;Operador:</translation>
    </message>
    <message>
        <source>Open record</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>Records (*.json *.csv)</source>
        <translation>Registros (*.json *.csv)</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2</source>
        <translation>%1 não pôde ser aberto: %2</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>Arquivos PDF (*.pdf)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>Arquivos JSON (*.json)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Arquivos CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export record</source>
        <translation>Exportar registro</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 não pôde ser gravado: %2</translation>
    </message>
    <message>
        <source>%1 (entries: %2)</source>
        <translation>%1 (entradas: %2)</translation>
    </message>
</context>
</TS>
