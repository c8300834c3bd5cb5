<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();">
										<input class="mono" type="text" id="INPUT1" style="position: absolute; top: 0px; left: 88px; width: 64px; z-index: 2; height: 18px; background-color: #FFFFFF; border: none; text-align: right;" value="{INPUT[1]/@VALUE}" name="{INPUT[1]/@NAME}" onfocus="SetInputEdited(1, event);" onblur="InputFocused[1]=0" onkeydown="SetInputEdited(1, event);" />
										<select class="mono" id="INPUT2" style="position: absolute; top: 24px; left: 88px; width: 80px; z-index: 3; height: 18px; background-color: #FFFFFF; border: none;" value="{INPUT[2]/@VALUE}" name="{INPUT[2]/@NAME}" onchange="SetInputEdited(2, event);" onblur="InputFocused[2]=0">
											<option value="0">Off</option>
											<option value="1">On</option>
										</select>
										<input type="submit" style="position: absolute; top: 72px; left: 88px; z-index: 5; height: 24px; width: 60px; background-color: #000000; border: none;" value="Apply" />
										<xsl:if test="INPUT[4]/@VALUE = 0">
											<input type="submit" style="position: absolute; top: 72px; left: 168px; z-index: 6; height: 24px; width: 80px; background-color: #000000; border: none; visibility: hidden;" value="Apply too" id="INPUT4" />
										</xsl:if>
										<xsl:if test="INPUT[4]/@VALUE != 0">
											<input type="submit" style="position: absolute; top: 72px; left: 168px; z-index: 6; height: 24px; width: 80px; background-color: #000000; border: none;" value="Apply too" id="INPUT4" />
										</xsl:if>
									</form>
									<div style="position: absolute; top: 0px; left: 8px; z-index: 1; background-color: #000000;">Set point</div>
									<form action="javascript:PostXML3()" style="position: absolute; top: 48px; left: 88px; z-index: 4; font-size: 13px;">
										<input id="INPUT3" onfocus="document.getElementById('INPUT3x').style.visibility='visible';SetInputEdited(3, event);" onblur="InputFocused[3]=0" onkeydown="SetInputEdited(3, event);" class="mono" type="text" style="width: 64px; height: 18px; background-color: #FFFFFF; border: none; text-align: right;" name="{INPUT[3]/@NAME}" value="{INPUT[3]/@VALUE}" />
										<input type="submit" style="position: absolute; top: 0px; height: 20px; width: 20px; visibility: hidden;" id="INPUT3x" value="&gt;" />
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
